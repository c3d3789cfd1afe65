#include "Creature.h"

#include <array>
#include <cmath>
#include <map>
#include <utility>

namespace {

constexpr double Pi = 3.14159265358979323846;

// The body's cross-section at x: an ellipse of half-width `width` and half-height `height`
// around a centre line at height `centre`. Control points run from the tail tip to the snout.
struct Section {
  double x, width, height, centre;
};
constexpr std::array<Section, 13> Profile{{
    {-6.07, 0.012, 0.012, 0.02},  // pointed tail
    {-5.3, 0.13, 0.11, 0.05},
    {-4.2, 0.36, 0.31, 0.09},
    {-3.0, 0.72, 0.60, 0.13},
    {-1.6, 1.12, 0.84, 0.17},
    {0.0, 1.29, 0.925, 0.175},  // the widest, deepest part
    {1.6, 1.22, 0.90, 0.19},
    {2.9, 0.86, 0.68, 0.27},
    {3.6, 0.60, 0.50, 0.33},  // neck
    {4.3, 0.62, 0.54, 0.37},  // skull
    {5.0, 0.52, 0.44, 0.33},
    {5.5, 0.34, 0.30, 0.27},  // snout
    {5.77, 0.04, 0.04, 0.22},
}};

// Smooth (Catmull-Rom) interpolation of the profile; x is clamped to its ends.
Section SectionAt(double x) {
  std::size_t i = 0;
  while (i + 2 < Profile.size() && x > Profile[i + 1].x) ++i;
  const Section& p1 = Profile[i];
  const Section& p2 = Profile[i + 1];
  const Section& p0 = Profile[i == 0 ? 0 : i - 1];
  const Section& p3 = Profile[i + 2 < Profile.size() ? i + 2 : i + 1];
  const double t = std::fmin(1.0, std::fmax(0.0, (x - p1.x) / (p2.x - p1.x)));
  auto spline = [t](double a, double b, double c, double d) {
    return 0.5 * ((2 * b) + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t * t +
                  (-a + 3 * b - 3 * c + d) * t * t * t);
  };
  return {x, spline(p0.width, p1.width, p2.width, p3.width),
          spline(p0.height, p1.height, p2.height, p3.height),
          spline(p0.centre, p1.centre, p2.centre, p3.centre)};
}

// The belly hangs below the middle of the body, over the lower part of the cross-section.
constexpr double BellyStart = -2.01;
constexpr double BellyEnd = 2.77;
constexpr double BellyDepth = 1.15;
constexpr double BellyHalfAngle = 1.25;  // radians either side of straight down

bool InBelly(double x, double angle) {
  return x > BellyStart && x < BellyEnd && std::fabs(angle + Pi / 2) < BellyHalfAngle + 1e-9;
}

// Body surface point for x and the angle around the section (0 = +y side, pi/2 = top).
Vector3 BodyPoint(double x, double angle) {
  const Section s = SectionAt(x);
  Vector3 p(x, s.width * std::cos(angle), s.centre + s.height * std::sin(angle));
  const double off = std::fabs(std::remainder(angle, 2 * Pi) + Pi / 2);
  if (x > BellyStart && x < BellyEnd && off < BellyHalfAngle) {
    const double along = std::sin(Pi * (x - BellyStart) / (BellyEnd - BellyStart));
    const double across = std::cos(0.5 * Pi * off / BellyHalfAngle);
    p.z -= BellyDepth * std::pow(along, 1.5) * across;
  }
  return p;
}

Vector3 OutwardNormal(Vector3 (*surface)(double, double), double u, double v, const Vector3& inside) {
  const double h = 1e-5;
  const Vector3 du = surface(u + h, v) - surface(u - h, v);
  const Vector3 dv = surface(u, v + h) - surface(u, v - h);
  Vector3 n = du.Cross(dv);
  if (n.Dot(surface(u, v) - inside) < 0) n = n * -1.0;
  return n;
}

// Sections are closer together toward the head, where the shape changes fastest.
std::vector<double> BodyStations() {
  std::vector<double> xs;
  const int count = 38;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / (count - 1);
    xs.push_back(-6.07 + 11.84 * (0.6 * t + 0.4 * t * t));
  }
  // Make the belly's ends fall on stations, so its rim is a clean seam.
  for (double edge : {BellyStart, BellyEnd}) {
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < xs.size(); ++i)
      if (std::fabs(xs[i] - edge) < std::fabs(xs[nearest] - edge)) nearest = i;
    xs[nearest] = edge;
  }
  xs.back() = 5.77132;
  return xs;
}

void BuildBody(Mesh& scale, Mesh& belly) {
  const int around = 24;
  const std::vector<double> xs = BodyStations();
  // Angles run downward from the top so that gridPoint.y grows along gridY; the seam sits at
  // the bottom, on the belly's side.
  auto angleOf = [](int j) { return Pi / 2 - 2 * Pi * j / 24.0 + Pi; };
  std::map<std::pair<int, int>, int> scaleIndex, bellyIndex;
  auto vertex = [&](Mesh& mesh, std::map<std::pair<int, int>, int>& index, int i, int j) {
    auto found = index.find({i, j});
    if (found != index.end()) return found->second;
    const double x = xs[i];
    const double angle = angleOf(j);
    const Section s = SectionAt(x);
    const Vector3 p = BodyPoint(x, angle);
    const Vector3 n = OutwardNormal(BodyPoint, x, angle, Vector3(x, 0, s.centre));
    // 12 scales around the body everywhere, so the pattern closes on itself at the seam.
    const Vector2 grid(x + 8.5, 7.2 * j / around);
    const int k = mesh.AddVertex(p, grid, n);
    index[{i, j}] = k;
    return k;
  };
  for (int i = 0; i + 1 < static_cast<int>(xs.size()); ++i) {
    for (int j = 0; j < around; ++j) {
      const double midX = 0.5 * (xs[i] + xs[i + 1]);
      const double midAngle = angleOf(j) - Pi / around;
      const bool isBelly = InBelly(midX, std::remainder(midAngle, 2 * Pi));
      Mesh& mesh = isBelly ? belly : scale;
      auto& index = isBelly ? bellyIndex : scaleIndex;
      mesh.AddQuad(vertex(mesh, index, i, j), vertex(mesh, index, i + 1, j),
                   vertex(mesh, index, i + 1, j + 1), vertex(mesh, index, i, j + 1));
    }
  }
}

// An ellipsoid of radii r around c, its poles along y so that no normal points straight along x.
void AddEye(Mesh& eyes, const Vector3& c, double r) {
  const int rings = 6, around = 15;
  const int base = static_cast<int>(eyes.vertices.size());
  const double side = c.y < 0 ? -1.0 : 1.0;
  eyes.AddVertex(c + Vector3(0, side * r, 0), Vector2(c.x + 8.5, 0), Vector3(0, side, 0));
  for (int ring = 1; ring <= rings; ++ring) {
    const double polar = Pi * ring / (rings + 1);
    for (int k = 0; k < around; ++k) {
      const double a = 2 * Pi * (k + 0.5) / around;
      const Vector3 n(std::sin(polar) * std::cos(a), side * std::cos(polar),
                      std::sin(polar) * std::sin(a));
      eyes.AddVertex(c + n * r, Vector2(c.x + 8.5 + n.x * r, polar * r), n);
    }
  }
  eyes.AddVertex(c - Vector3(0, side * r, 0), Vector2(c.x + 8.5, Pi * r), Vector3(0, -side, 0));
  const int last = base + 1 + rings * around;
  auto at = [&](int ring, int k) { return base + 1 + (ring - 1) * around + (k % around); };
  for (int k = 0; k < around; ++k) {
    eyes.AddTriangle(base, at(1, k), at(1, k + 1));
    eyes.AddTriangle(last, at(rings, k + 1), at(rings, k));
    for (int ring = 1; ring < rings; ++ring)
      eyes.AddQuad(at(ring, k), at(ring + 1, k), at(ring + 1, k + 1), at(ring, k + 1));
  }
}

// A horn: a tapering tube along a curve from its root in the skull, sweeping out and then up.
void AddHorn(Mesh& horns, double side) {
  const Vector3 p0(4.26, side * 0.36, 0.80), p1(4.26, side * 1.30, 1.05), p2(4.20, side * 1.12, 1.68);
  auto curve = [&](double t) { return p0 * ((1 - t) * (1 - t)) + p1 * (2 * t * (1 - t)) + p2 * (t * t); };
  auto tangent = [&](double t) {
    return Normalized((p1 - p0) * (2 * (1 - t)) + (p2 - p1) * (2 * t));
  };
  const int rings = 11, around = 13;
  const double rootRadius = 0.107;
  const double HornTaper = 0.09;  // radius lost per unit of length
  const int base = static_cast<int>(horns.vertices.size());
  for (int ring = 0; ring < rings; ++ring) {
    const double t = static_cast<double>(ring) / rings;
    const Vector3 c = curve(t), d = tangent(t);
    const Vector3 e1 = Normalized(Vector3(1, 0, 0).Cross(d).Cross(d)) * -1.0;  // toward +x
    const Vector3 e2 = d.Cross(e1);
    const double radius = rootRadius * std::pow(1 - t, 0.9);
    for (int k = 0; k < around; ++k) {
      const double a = 2 * Pi * (k + 0.25) / around;
      const Vector3 radial = e1 * std::cos(a) + e2 * std::sin(a);
      // The tube narrows along the curve, so its normal leans a little toward the tip.
      const Vector3 n = radial + d * HornTaper;
      horns.AddVertex(c + radial * radius, Vector2(4.26 + 8.5 + t, a * 0.1), n);
    }
  }
  const Vector3 tipDirection = tangent(1.0);
  const int tip = horns.AddVertex(curve(1.0), Vector2(4.26 + 9.5, 0), tipDirection);
  auto at = [&](int ring, int k) { return base + ring * around + (k % around); };
  for (int k = 0; k < around; ++k) {
    for (int ring = 0; ring + 1 < rings; ++ring)
      horns.AddQuad(at(ring, k), at(ring + 1, k), at(ring + 1, k + 1), at(ring, k + 1));
    horns.AddTriangle(at(rings - 1, k), tip, at(rings - 1, k + 1));
  }
}

}  // namespace

Creature BuildCreature() {
  Creature creature;
  BuildBody(creature.scale, creature.wrinkles);
  for (double side : {1.0, -1.0}) AddEye(creature.eyes, Vector3(4.716, side * 0.557, 0.388), 0.258);
  for (double side : {1.0, -1.0}) AddHorn(creature.horns, side);
  return creature;
}
