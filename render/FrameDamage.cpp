#include "render/FrameDamage.h"

#include <algorithm>
#include <cstring>

ScreenRect Union(const ScreenRect& a, const ScreenRect& b) {
  if (a.Empty()) return b.Empty() ? ScreenRect{} : b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.bottom, b.bottom), std::max(a.right, b.right),
          std::max(a.top, b.top)};
}

ScreenRect Intersect(const ScreenRect& a, const ScreenRect& b) {
  const ScreenRect r{std::max(a.left, b.left), std::max(a.bottom, b.bottom),
                     std::min(a.right, b.right), std::min(a.top, b.top)};
  return r.Empty() ? ScreenRect{} : r;
}

ScreenRect TopLeftRect(int right, int bottom, int height) {
  return TopLeftRect(right, bottom, ScreenRect{0, 0, right, height});
}

ScreenRect TopLeftRect(int right, int bottom, const ScreenRect& area) {
  const ScreenRect r{area.left, area.top - bottom, area.left + right, area.top};
  return r.Empty() ? ScreenRect{} : r;
}

bool IsSoftwareRenderer(const char* name) {
  if (name == nullptr) return false;
  // Mesa's names: "llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", and for the classic
  // rasterizer "Software Rasterizer" (DRI) or "Mesa X11" (the Xlib driver).
  return std::strstr(name, "llvmpipe") != nullptr || std::strstr(name, "softpipe") != nullptr ||
         std::strcmp(name, "Software Rasterizer") == 0 || std::strncmp(name, "Mesa X11", 8) == 0;
}

FrameDamage::Frame FrameDamage::Next(const Input& in) {
  const ScreenRect window{0, 0, in.width, in.height};
  const bool resized = !started || in.width != width || in.height != height;
  const bool due = started && in.tickMs - lastWholeTick >= WholeFrameEveryMs;
  // A buffer older than the changes kept, or of no known age, holds nothing to build on.
  const bool stale = in.bufferAge < 1 || (started && in.bufferAge - 1 > keptChanges);
  const bool whole = resized || due || in.exposed || !in.creature || stale;

  // Unbounded, the creature may have been anywhere: the next frame erases the whole window too.
  const ScreenRect creature = in.creature ? Intersect(*in.creature, window) : window;
  Frame frame;
  frame.whole = whole;
  // The text's rectangle of the frame before too: a text taken away must be erased.
  const ScreenRect changed =
      Union(Union(creature, previousCreature), Union(in.overlay, previousOverlay));
  const ScreenRect own = whole ? window : Intersect(changed, window);
  frame.dirty = own;
  if (!whole) {
    for (int i = 0; i < in.bufferAge - 1; ++i) frame.dirty = Union(frame.dirty, changes[i]);
    frame.dirty = Intersect(frame.dirty, window);
  }
  if (!frame.dirty.Empty()) {
    for (int i = KeptChanges - 1; i > 0; --i) changes[i] = changes[i - 1];
    changes[0] = own;
    if (keptChanges < KeptChanges) ++keptChanges;
  }

  started = true;
  width = in.width;
  height = in.height;
  previousCreature = creature;
  previousOverlay = in.overlay;
  if (whole) {
    lastWholeTick = in.tickMs;
    ++wholeFrames;
  }
  const double pixels = static_cast<double>(in.width) * in.height;
  if (pixels > 0)
    coverageSum += static_cast<double>(frame.dirty.Width()) * frame.dirty.Height() / pixels;
  ++frames;
  return frame;
}
