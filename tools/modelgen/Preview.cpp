#include "Preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr int Width = 960;
constexpr int ViewHeight = 300;

struct Image {
  std::vector<unsigned char> rgb = std::vector<unsigned char>(Width * ViewHeight * 2 * 3, 40);
  std::vector<double> depth =
      std::vector<double>(Width * ViewHeight * 2, -std::numeric_limits<double>::infinity());
};

// The hide's colour at a vertex, after the pattern of each surface's shader.
Vector3 BaseColour(int surface, const VertexRecord& v) {
  const Vector3 blue(0.3, 0.3, 1.0), red(1.0, 0.0, 0.0);
  if (surface == 0) {
    const int i = static_cast<int>(v.gridPoint.x / 0.6);
    const double lx = v.gridPoint.x - (i + 0.5) * 0.6;
    const double y = v.gridPoint.y + (i % 2 ? 0.5 : 0.0);
    const double ly = std::fmod(y, 0.6) - 0.3;
    const double a = 1 - 4 * ((lx / 0.6) * (lx / 0.6) + (ly / 0.6) * (ly / 0.6));
    return a > 0 ? blue + (red - blue) * std::sqrt(a) : blue;
  }
  if (surface == 1) return blue;
  if (surface == 2) return Vector3(0.4, 0.4, 0.4);
  return Vector3(1.0, 1.0, 0.4);
}

// Projects model points to the view: the side view looks at the +y flank, the top view down z.
void Project(const Vector3& p, int view, double& sx, double& sy, double& depth) {
  const double scale = 75.0;
  sx = Width / 2.0 + p.x * scale;
  if (view == 0) {
    sy = ViewHeight * 0.55 - p.z * scale;
    depth = p.y;
  } else {
    sy = ViewHeight * 1.5 - p.y * scale;
    depth = p.z;
  }
}

void DrawTriangle(Image& image, int view, const Vector3 (&p)[3], const Vector3 (&colour)[3]) {
  double x[3], y[3], d[3];
  for (int k = 0; k < 3; ++k) Project(p[k], view, x[k], y[k], d[k]);
  const double area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
  if (area == 0) return;
  const int top = view * ViewHeight, bottom = top + ViewHeight;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min({x[0], x[1], x[2]}))));
  const int x1 = std::min(Width - 1, static_cast<int>(std::ceil(std::max({x[0], x[1], x[2]}))));
  const int y0 = std::max(top, static_cast<int>(std::floor(std::min({y[0], y[1], y[2]}))));
  const int y1 = std::min(bottom - 1, static_cast<int>(std::ceil(std::max({y[0], y[1], y[2]}))));
  for (int py = y0; py <= y1; ++py) {
    for (int px = x0; px <= x1; ++px) {
      const double cx = px + 0.5, cy = py + 0.5;
      const double w0 = ((x[1] - cx) * (y[2] - cy) - (x[2] - cx) * (y[1] - cy)) / area;
      const double w1 = ((x[2] - cx) * (y[0] - cy) - (x[0] - cx) * (y[2] - cy)) / area;
      const double w2 = 1 - w0 - w1;
      if (w0 < 0 || w1 < 0 || w2 < 0) continue;
      const double depth = w0 * d[0] + w1 * d[1] + w2 * d[2];
      const int at = py * Width + px;
      if (depth <= image.depth[at]) continue;
      image.depth[at] = depth;
      const Vector3 c = colour[0] * w0 + colour[1] * w1 + colour[2] * w2;
      for (int k = 0; k < 3; ++k) {
        const double channel = k == 0 ? c.x : k == 1 ? c.y : c.z;
        image.rgb[at * 3 + k] = static_cast<unsigned char>(std::clamp(channel, 0.0, 1.0) * 255);
      }
    }
  }
}

}  // namespace

bool WritePreview(const Creature& creature, const std::string& path) {
  Image image;
  const Mesh* meshes[] = {&creature.scale, &creature.wrinkles, &creature.eyes, &creature.horns};
  for (int view = 0; view < 2; ++view) {
    const Vector3 light = view == 0 ? Normalized(Vector3(0.3, 0.6, 0.75)) : Vector3(0, 0, 1);
    for (int s = 0; s < 4; ++s) {
      const Mesh& m = *meshes[s];
      for (std::size_t i = 0; i < m.indices.size(); i += 3) {
        Vector3 p[3], colour[3];
        for (int k = 0; k < 3; ++k) {
          const VertexRecord& v = m.vertices[m.indices[i + k]];
          p[k] = v.position;
          const double lit = 0.35 + 0.65 * std::max(0.0, v.normal.Dot(light));
          colour[k] = BaseColour(s, v) * lit;
        }
        DrawTriangle(image, view, p, colour);
      }
    }
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", Width, ViewHeight * 2);
  std::fwrite(image.rgb.data(), 1, image.rgb.size(), file);
  return std::fclose(file) == 0;
}
