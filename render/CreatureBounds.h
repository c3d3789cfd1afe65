#pragma once
#include <array>
#include <optional>
#include <vector>

#include "base/Vector3.h"
#include "creature/Ribbon.h"
#include "render/FrameDamage.h"

struct Surface;

// Where on the screen the creature can be this frame, never less than it covers. The body is
// bounded node by node: each node carries the part of the mesh the vertex shader places on it,
// inside a box spanned by the node's own axes (the box's eight corners, projected, bound the
// part). The wings are bounded by their own vertices.
class CreatureBounds {
 public:
  // Pixels added on every side: the processor's double-precision projection and the card's
  // single-precision one differ by a fraction of a pixel, and a one-pixel line may touch the
  // pixel beyond its end.
  static constexpr int MarginPixels = 2;

  // Column-major 4 x 4, as OpenGL returns it: projection times model-view.
  using Matrix4 = std::array<double, 16>;

  // Measures the fitted model (SurfaceTable after the model was fitted to the ribbon).
  explicit CreatureBounds(const Surface* surfaceTable);

  // The rectangle of a `width` x `height` viewport at the origin that holds every pixel the
  // body on `ribbon` and the wing vertices can touch; nullopt when a point lies at or behind
  // the eye, where a projection bounds nothing. Not clipped to the viewport.
  std::optional<ScreenRect> Project(const Ribbon& ribbon, const std::vector<Vector3>& wingVertices,
                                    const Matrix4& modelViewProjection, int width,
                                    int height) const;

 private:
  // Per node, the model's reach along its side and up axes; along forward a point lies at most
  // one node spacing behind its node.
  struct Extent {
    double minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    bool any = false;
  };
  std::array<Extent, Ribbon::NumberOfNodes> extents{};
};

// Multiplies two column-major 4 x 4 matrices: a times b.
CreatureBounds::Matrix4 Multiply(const CreatureBounds::Matrix4& a, const CreatureBounds::Matrix4& b);
