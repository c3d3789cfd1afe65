// Draws the settings dialog's logo, resources/logo.bmp: a light winged creature with horns on a
// dark ground, 150 x 97 pixels with an 8-bit palette running from the ground to the highlight.
// Usage: logogen <output.bmp>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Width = 150, Height = 97, Samples = 4;

struct Point {
  double x, y;
};

Point Bezier(Point a, Point b, Point c, double t) {
  const double u = 1 - t;
  return {u * u * a.x + 2 * u * t * b.x + t * t * c.x, u * u * a.y + 2 * u * t * b.y + t * t * c.y};
}

double SegmentDistance(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// A stroke along a quadratic curve whose radius goes from r0 to r1.
bool InStroke(Point p, Point a, Point b, Point c, double r0, double r1) {
  constexpr int Steps = 48;
  Point prev = a;
  for (int i = 1; i <= Steps; ++i) {
    const double t = double(i) / Steps;
    const Point next = Bezier(a, b, c, t);
    if (SegmentDistance(p, prev, next) <= r0 + (r1 - r0) * t) return true;
    prev = next;
  }
  return false;
}

bool InTriangle(Point p, Point a, Point b, Point c) {
  auto side = [](Point p, Point a, Point b) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
  const double d1 = side(p, a, b), d2 = side(p, b, c), d3 = side(p, c, a);
  return !((d1 < 0 || d2 < 0 || d3 < 0) && (d1 > 0 || d2 > 0 || d3 > 0));
}

bool InEllipse(Point p, Point centre, double rx, double ry) {
  const double dx = (p.x - centre.x) / rx, dy = (p.y - centre.y) / ry;
  return dx * dx + dy * dy <= 1;
}

struct Layer {
  double level;  // 0 ground .. 1 highlight
  std::function<bool(Point)> inside;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: logogen <output.bmp>\n");
    return 2;
  }
  const std::vector<Layer> layers = {
      // Far wing, then near wing: membranes between the arm and three finger tips.
      {0.30, [](Point p) { return InTriangle(p, {70, 44}, {58, 6}, {40, 22}) || InTriangle(p, {70, 44}, {40, 22}, {34, 40}); }},
      {0.55, [](Point p) { return InTriangle(p, {84, 44}, {96, 4}, {70, 12}) || InTriangle(p, {84, 44}, {70, 12}, {58, 34}); }},
      {0.85, [](Point p) { return InStroke(p, {84, 44}, {90, 20}, {96, 4}, 1.6, 0.6); }},
      // Body from the pointed tail to the neck, then the head, snout and horns.
      {1.00, [](Point p) {
         return InStroke(p, {8, 84}, {40, 88}, {66, 62}, 0.4, 6.5) ||
                InStroke(p, {66, 62}, {92, 36}, {114, 38}, 9.5, 5.5) ||
                InEllipse(p, {117, 37}, 9, 7.5) || InEllipse(p, {129, 41}, 8, 4.2) ||
                InStroke(p, {112, 31}, {104, 22}, {99, 12}, 2.6, 0.4) ||
                InStroke(p, {118, 30}, {116, 20}, {110, 12}, 2.4, 0.4);
       }},
      {0.70, [](Point p) { return InStroke(p, {60, 70}, {88, 52}, {112, 46}, 1.2, 1.0); }},  // belly line
      {0.05, [](Point p) { return InEllipse(p, {120, 35}, 1.8, 1.6); }},                    // eye
  };

  std::vector<std::uint8_t> pixels(std::size_t(Width) * Height);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      // A faint glow behind the creature over the dark ground.
      const double glow = std::exp(-(std::pow((x - 80) / 60.0, 2) + std::pow((y - 45) / 40.0, 2)));
      double value = 0.03 + 0.10 * glow;
      for (const Layer& layer : layers) {
        int hits = 0;
        for (int sy = 0; sy < Samples; ++sy)
          for (int sx = 0; sx < Samples; ++sx)
            hits += layer.inside({x + (sx + 0.5) / Samples, y + (sy + 0.5) / Samples});
        const double coverage = double(hits) / (Samples * Samples);
        value += (layer.level - value) * coverage;
      }
      pixels[std::size_t(y) * Width + x] = static_cast<std::uint8_t>(std::lround(value * 255));
    }

  const int rowBytes = (Width + 3) & ~3;
  const std::uint32_t dataOffset = 14 + 40 + 256 * 4;
  const std::uint32_t fileSize = dataOffset + std::uint32_t(rowBytes) * Height;
  std::vector<std::uint8_t> out;
  auto put16 = [&](unsigned v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); };
  auto put32 = [&](std::uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
  out.push_back('B'); out.push_back('M');
  put32(fileSize); put32(0); put32(dataOffset);
  put32(40); put32(Width); put32(Height); put16(1); put16(8); put32(0);
  put32(std::uint32_t(rowBytes) * Height); put32(2835); put32(2835); put32(256); put32(256);
  for (int i = 0; i < 256; ++i) {
    // Ground of deep blue-black to a pale ice highlight; stored blue, green, red, 0.
    const double t = i / 255.0;
    out.push_back(static_cast<std::uint8_t>(std::lround(30 + t * (255 - 30))));
    out.push_back(static_cast<std::uint8_t>(std::lround(14 + t * (244 - 14))));
    out.push_back(static_cast<std::uint8_t>(std::lround(8 + t * (226 - 8))));
    out.push_back(0);
  }
  for (int y = Height - 1; y >= 0; --y) {  // bottom row first
    out.insert(out.end(), pixels.begin() + std::ptrdiff_t(y) * Width, pixels.begin() + std::ptrdiff_t(y + 1) * Width);
    out.resize(out.size() + (rowBytes - Width), 0);
  }
  std::FILE* file = std::fopen(argv[1], "wb");
  if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
