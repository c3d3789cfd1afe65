#include "platform/GlSurfaceFaults.h"

#include "platform/PartialPresent.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

std::atomic<bool> failContextCreation{false};
std::atomic<bool> hideSwapControl{false};
std::atomic<bool> stallSwap{false};
std::atomic<bool> swapStalled{false};
std::atomic<bool> faultOnSwap{false};
std::atomic<std::uint64_t> swapCount{0};
std::atomic<int> lastSwapInterval{0};
std::atomic<bool> hideCopySubBuffer{false};
std::atomic<bool> hardwareRenderer{false};
std::atomic<std::uint64_t> presentCount{0};
std::atomic<std::uint64_t> presentPixels{0};

}  // namespace

void SetGlSurfaceFaults(const GlSurfaceFaults& faults) {
  failContextCreation.store(faults.failContextCreation);
  hideSwapControl.store(faults.hideSwapControl);
  stallSwap.store(faults.stallSwap);
  faultOnSwap.store(faults.faultOnSwap);
}

void SetPresentFaults(const PresentFaults& faults) {
  hideCopySubBuffer.store(faults.hideCopySubBuffer);
  hardwareRenderer.store(faults.hardwareRenderer);
}

std::uint64_t PartialPresentCount() { return presentCount.load(std::memory_order_relaxed); }
std::uint64_t PartialPresentPixels() { return presentPixels.load(std::memory_order_relaxed); }

bool SwapStalled() { return swapStalled.load(); }

std::uint64_t SwapCount() { return swapCount.load(std::memory_order_relaxed); }

int LastSwapInterval() { return lastSwapInterval.load(); }

namespace faults {

bool ContextCreationFails() { return failContextCreation.load(); }
bool SwapControlHidden() { return hideSwapControl.load(); }
bool SwapFaults() { return faultOnSwap.load(); }

void WaitWhileSwapStalls() {
  while (stallSwap.load()) {
    swapStalled = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  swapStalled = false;
}

bool CopySubBufferHidden() { return hideCopySubBuffer.load(); }
bool HardwareRendererShown() { return hardwareRenderer.load(); }

void CountPartialPresent(int width, int height) {
  presentCount.fetch_add(1, std::memory_order_relaxed);
  presentPixels.fetch_add(static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height),
                          std::memory_order_relaxed);
}

void CountSwap() { swapCount.fetch_add(1, std::memory_order_relaxed); }
void RecordSwapInterval(int interval) { lastSwapInterval.store(interval); }

}  // namespace faults
}  // namespace platform
