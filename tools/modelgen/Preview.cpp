// A small software rasteriser for looking at the model: orthographic views of the fitted
// creature, each surface painted by the same pattern and lighting formulas its fragment shader
// uses, and the two wing outlines at rest where the wings are attached.
#include "Preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "ModelWriter.h"

namespace {

struct Colour {
  double r = 0, g = 0, b = 0;
};

Colour operator*(const Colour& c, double s) { return {c.r * s, c.g * s, c.b * s}; }
Colour operator+(const Colour& a, const Colour& b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

// Model-to-view rotation (rows) and where the light travels in view space.
struct View {
  Vector3 row[3];
  Vector3 light;
  Vector3 Apply(const Vector3& v) const { return {row[0].Dot(v), row[1].Dot(v), row[2].Dot(v)}; }
};

class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width), height_(height), pixels_(width * height, Colour{0.1, 0.2, 0.2}) {}
  int width() const { return width_; }
  int height() const { return height_; }
  Colour& At(int x, int y) { return pixels_[y * width_ + x]; }
  bool Write(const std::string& path, int shrink) const;

 private:
  int width_, height_;
  std::vector<Colour> pixels_;
};

bool Canvas::Write(const std::string& path, int shrink) const {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const int w = width_ / shrink, h = height_ / shrink;
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Colour sum;
      for (int dy = 0; dy < shrink; ++dy)
        for (int dx = 0; dx < shrink; ++dx) {
          Colour c = pixels_[(y * shrink + dy) * width_ + x * shrink + dx];
          c.r = std::clamp(c.r, 0.0, 1.0), c.g = std::clamp(c.g, 0.0, 1.0);
          c.b = std::clamp(c.b, 0.0, 1.0);
          sum = sum + c;
        }
      sum = sum * (1.0 / (shrink * shrink));
      const unsigned char rgb[3] = {static_cast<unsigned char>(sum.r * 255 + 0.5),
                                    static_cast<unsigned char>(sum.g * 255 + 0.5),
                                    static_cast<unsigned char>(sum.b * 255 + 0.5)};
      std::fwrite(rgb, 1, 3, f);
    }
  return std::fclose(f) == 0;
}

// What a fragment shader sees, interpolated across a triangle.
struct Fragment {
  Vector3 position;  // view space
  Vector2 grid;
  Vector3 normal, gridX, gridY;
};

Colour Lit(const Vector3& n, const Vector3& light, const Colour& base, const Colour& specular,
           double power) {
  const Vector3 viewDirection(0, 0, -1);  // orthographic: the viewer is far along +z
  double diffuse = 0, highlight = 0;
  const double value = n.Dot(light);
  if (value < 0) {
    diffuse = -value;
    const double r = 2 * value * n.Dot(viewDirection) - light.Dot(viewDirection);
    if (r > 0) highlight = std::pow(r, power);
  }
  return base * (0.5 + 0.5 * diffuse) + specular * highlight;
}

Colour Shade(int surface, const Fragment& f, const Vector3& light) {
  const Colour blue{0.3, 0.3, 1.0}, grey6{0.6, 0.6, 0.6};
  switch (surface) {
    case 0: {  // raised oval scales in rows, odd columns shifted
      constexpr double W = 0.6, H = 0.6, Thickness = 0.2;
      const int i = static_cast<int>(f.grid.x / W);
      const double lx = f.grid.x - (i + 0.5) * W;
      double y = f.grid.y;
      if (i / 2 != (i + 1) / 2) y += 0.5;
      const double ly = y - H * std::floor(y / H) - 0.5 * H;
      const double a = 1 - 4 * ((lx / W) * (lx / W) + (ly / H) * (ly / H));
      Vector3 local(0, 0, 1);
      Colour own = blue;
      if (a > 0) {
        const double b = lx / (W * W), c = ly / (H * H);
        const double d = std::sqrt(a + 16 * Thickness * Thickness * (b * b + c * c));
        const double e = 4 * Thickness / d;
        local = Vector3(e * b, e * c, std::sqrt(a) / d);
        own = blue * (1 - local.z) + Colour{1, 0, 0} * local.z;
      }
      const Vector3 n = f.gridX * local.x + f.gridY * local.y + f.normal * local.z;
      return Lit(n, light, own, grey6, 8);
    }
    case 1: {  // grooves across the belly
      constexpr double Width = 0.7;
      const double x = f.grid.x - Width * std::floor(f.grid.x / Width);
      const Vector3 local = Normalized(Vector3(x - Width / 2, 0, 2.0));
      const Vector3 n = Normalized(f.gridX * local.x + f.gridY * local.y + f.normal * local.z);
      return Lit(n, light, blue, grey6, 4);
    }
    case 2:
      return Lit(Normalized(f.normal), light, {0.4, 0.4, 0.4}, {1, 1, 1}, 16);
    default: {
      const double value = Normalized(f.normal).Dot(light);
      return Colour{1, 1, 0.4} * (0.3 + 0.7 * (value < 0 ? -value : 0));
    }
  }
}

struct Raster {
  Canvas& canvas;
  std::vector<double>& depth;
  int originX, originY;  // pixel of the view's origin
  int top, bottom;       // the rows this view may draw into
  double pixelsPerUnit;

  double Sx(const Vector3& v) const { return originX + v.x * pixelsPerUnit; }
  double Sy(const Vector3& v) const { return originY - v.y * pixelsPerUnit; }

  // Calls plot(x, y, w0, w1, w2) for the pixels a front-facing triangle covers.
  template <class Plot>
  void Fill(const Vector3& a, const Vector3& b, const Vector3& c, Plot plot) const {
    const double ax = Sx(a), ay = Sy(a), bx = Sx(b), by = Sy(b), cx = Sx(c), cy = Sy(c);
    const double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    if (area >= 0) return;  // y grows downward on screen: counter-clockwise has negative area
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({ax, bx, cx}))));
    const int x1 = std::min(canvas.width() - 1, static_cast<int>(std::ceil(std::max({ax, bx, cx}))));
    const int y0 = std::max(top, static_cast<int>(std::floor(std::min({ay, by, cy}))));
    const int y1 = std::min(bottom - 1, static_cast<int>(std::ceil(std::max({ay, by, cy}))));
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        const double w0 = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area;
        const double w1 = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area;
        const double w2 = 1 - w0 - w1;
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        plot(x, y, w0, w1, w2);
      }
  }
};

void DrawModel(Raster& raster, const std::vector<DataSurface>& surfaces, const View& view,
               const Vector3& centre) {
  for (size_t k = 0; k < surfaces.size(); ++k) {
    const DataSurface& s = surfaces[k];
    std::vector<Fragment> corners(s.vertices.size());
    for (size_t i = 0; i < s.vertices.size(); ++i) {
      const double* v = s.vertices[i].value;
      corners[i] = {view.Apply(Vector3(v[0], v[1], v[2]) - centre), Vector2(v[3], v[4]),
                    view.Apply(Vector3(v[5], v[6], v[7])), view.Apply(Vector3(v[8], v[9], v[10])),
                    view.Apply(Vector3(v[11], v[12], v[13]))};
    }
    for (const auto& t : s.triangles) {
      const Fragment &a = corners[t[0]], &b = corners[t[1]], &c = corners[t[2]];
      raster.Fill(a.position, b.position, c.position, [&](int x, int y, double w0, double w1,
                                                          double w2) {
        const double z = a.position.z * w0 + b.position.z * w1 + c.position.z * w2;
        double& stored = raster.depth[y * raster.canvas.width() + x];
        if (z <= stored) return;
        stored = z;
        Fragment f{a.position * w0 + b.position * w1 + c.position * w2,
                   Vector2(a.grid.x * w0 + b.grid.x * w1 + c.grid.x * w2,
                           a.grid.y * w0 + b.grid.y * w1 + c.grid.y * w2),
                   a.normal * w0 + b.normal * w1 + c.normal * w2,
                   a.gridX * w0 + b.gridX * w1 + c.gridX * w2,
                   a.gridY * w0 + b.gridY * w1 + c.gridY * w2};
        raster.canvas.At(x, y) = Shade(static_cast<int>(k), f, view.light);
      });
    }
  }
}

// The wings' outline at rest, spread flat from their roots on the back: a lens 0.3 long and
// 0.06 wide in fitted units, translucent white.
void DrawWings(Raster& raster, const View& view, const Vector3& centre) {
  for (int side = -1; side <= 1; side += 2) {
    const Vector3 root(0.6, 0.05 * side, 0.03);
    std::vector<Vector3> outline;
    for (int i = 0; i <= 24; ++i) {
      const double r = 3.14159265358979 * i / 24;
      outline.push_back(view.Apply(root + Vector3(0.03 * std::sin(2 * r), 0.3 * std::sin(r) * side, 0) - centre));
    }
    const Vector3 hub = view.Apply(root - centre);
    for (size_t i = 0; i + 1 < outline.size(); ++i) {
      for (int flip = 0; flip < 2; ++flip) {
        const Vector3& p = flip ? outline[i + 1] : outline[i];
        const Vector3& q = flip ? outline[i] : outline[i + 1];
        raster.Fill(hub, p, q, [&](int x, int y, double w0, double w1, double w2) {
          const double z = hub.z * w0 + p.z * w1 + q.z * w2;
          if (z <= raster.depth[y * raster.canvas.width() + x] - 0.002) return;
          Colour& c = raster.canvas.At(x, y);
          c = c * 0.6 + Colour{1, 1, 1} * 0.4;
        });
      }
    }
  }
}

}  // namespace

bool WritePreview(const std::string& path) {
  std::vector<DataSurface> surfaces = RoundForData(BuildCreature());
  // Fit as the saver does: x from 0.01 to 1, the same scale across.
  double lo = 1e9, hi = -1e9;
  for (const DataSurface& s : surfaces)
    for (const DataVertex& v : s.vertices) lo = std::min(lo, v.value[0]), hi = std::max(hi, v.value[0]);
  const double scale = 0.99 / (hi - lo);
  for (DataSurface& s : surfaces)
    for (DataVertex& v : s.vertices) {
      v.value[0] = (v.value[0] - lo) * scale + 0.01;
      v.value[1] *= scale;
      v.value[2] *= scale;
    }
  constexpr int Shrink = 3, Width = 960 * Shrink;
  const int rows[4] = {0, 310 * Shrink, 930 * Shrink, 1330 * Shrink};  // side, top, three-quarter
  Canvas canvas(Width, rows[3]);
  std::vector<double> depth(canvas.width() * canvas.height(), -1e9);
  const Vector3 centre(0.505, 0, 0);
  const double c = std::cos(0.6), s = std::sin(0.6), e = std::cos(0.45), f = std::sin(0.45);
  const View views[3] = {
      // From the side, as it flies across the screen: the light falls from above.
      {{Vector3(1, 0, 0), Vector3(0, 0, 1), Vector3(0, -1, 0)}, Vector3(0, -1, 0)},
      // From above, head to the right; the light falls from above and behind the viewer.
      {{Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)}, Normalized(Vector3(0, -0.5, -0.8))},
      // From the front, above and to the side.
      {{Vector3(c, s, 0), Vector3(-s * f, c * f, e), Vector3(s * e, -c * e, f)},
       Vector3(0, -1, 0)},
  };
  for (int k = 0; k < 3; ++k) {
    Raster raster{canvas, depth, Width / 2, (rows[k] + rows[k + 1]) / 2, rows[k], rows[k + 1], 0.88 * Width};
    DrawModel(raster, surfaces, views[k], centre);
    DrawWings(raster, views[k], centre);
  }
  return canvas.Write(path, Shrink);
}
