#pragma once
// Test seams of the GL surface. Display tests set them to walk the failure paths of video
// initialisation on a driver that would otherwise succeed, and of a frame loop whose driver
// hangs or faults.
#include <cstdint>

namespace platform {

struct GlSurfaceFaults {
  bool failContextCreation = false;  // CreateGlContext returns nullptr
  bool hideSwapControl = false;      // SwapControlAvailable returns false
  bool stallSwap = false;            // SwapBuffers waits until this is cleared: a stuck driver
  bool faultOnSwap = false;          // SwapBuffers faults (Win32: access violation; X11: SIGSEGV)
};

void SetGlSurfaceFaults(const GlSurfaceFaults& faults);

// Seams of partial presentation (PartialPresent.h): a driver without the copy extension, and one
// whose renderer is a graphics card.
struct PresentFaults {
  bool hideCopySubBuffer = false;  // PartialPresentAvailable returns false
  bool hardwareRenderer = false;   // RendererName names no software renderer
};

void SetPresentFaults(const PresentFaults& faults);

// True while a swap waits on stallSwap.
bool SwapStalled();

// Buffer swaps made by this process so far, on every surface.
std::uint64_t SwapCount();

// The interval last handed to the driver by SetSwapInterval (0 before any call). Software
// drivers accept the call but cannot report it back, so tests read it here.
int LastSwapInterval();

}  // namespace platform

// For the backends' GL surfaces: the seams as set, and what each swap and interval reports.
namespace platform::faults {

bool ContextCreationFails();
bool SwapControlHidden();
bool SwapFaults();  // the backend raises its own kind of fault
// Holds the calling swap while stallSwap is set; SwapStalled() is true meanwhile.
void WaitWhileSwapStalls();
void CountSwap();
// The copy seams of PresentFaults, and a rectangle shown by a backend's PresentRect.
bool CopySubBufferHidden();
bool HardwareRendererShown();
void CountPartialPresent(int width, int height);
void RecordSwapInterval(int interval);

}  // namespace platform::faults
