// The eyes and horns: each made once on the +y side and mirrored to the other.
#include "base/DetMath.h"
#include "Mesh.h"

void BuildBody(Mesh& scale, Mesh& wrinkles);

namespace {

constexpr double TailTip = -6.07;  // where gridPoint.x is 0

// Nominal pattern coordinates for the parts whose shaders paint no pattern: x along the body as
// on the hide, y as the turn of the normal about the body's axis, scaled by the part's radius.
Vector2 PartGridPoint(const Vector3& position, const Vector3& normal, const Vector3& axis,
                      double radius) {
  const double turn =
      det::Atan2(axis.y * normal.z - axis.z * normal.y, axis.y * normal.y + axis.z * normal.z);
  return {PatternScale * (position.x - TailTip), PatternMidline - PatternScale * radius * turn};
}

// A ball looking out along `axis`, open at the back where it sits in the head.
Mesh Eye() {
  const Vector3 centre(4.716, 0.557, 0.388);
  constexpr double Radius = 0.258;
  constexpr int Rings = 7, Segments = 12;
  constexpr double Reach = det::Pi * 2 / 3;  // from the pupil round to the open rim
  const Vector3 axis = Normalized(Vector3(0.35, 0.8, 0.5));
  const Vector3 up = Normalized(Vector3(0, 0, 1) - axis * axis.z);
  const Vector3 side = axis.Cross(up);
  Mesh m;
  auto add = [&](const Vector3& n) {
    const Vector3 p = centre + n * Radius;
    return m.Add({p, PartGridPoint(p, n, axis, Radius), n});
  };
  const int pupil = add(axis);
  for (int r = 1; r <= Rings; ++r) {
    const double a = Reach * r / Rings;
    for (int s = 0; s < Segments; ++s) {
      const double b = 2 * det::Pi * (s + 0.5) / Segments;
      add(Normalized(axis * det::Cos(a) + (up * det::Cos(b) + side * det::Sin(b)) * det::Sin(a)));
    }
  }
  auto at = [&](int r, int s) { return 1 + (r - 1) * Segments + s % Segments; };
  for (int s = 0; s < Segments; ++s) m.Triangle(pupil, at(1, s), at(1, s + 1));
  for (int r = 1; r < Rings; ++r)
    for (int s = 0; s < Segments; ++s) {
      m.Triangle(at(r, s), at(r + 1, s), at(r + 1, s + 1));
      m.Triangle(at(r, s), at(r + 1, s + 1), at(r, s + 1));
    }
  return m;
}

// A tapering tube along a quadratic curve, rising out of the head, outward, then hooking back.
Mesh Horn() {
  const Vector3 base(4.3, 0.55, 0.72), bend(4.38, 0.98, 1.2), tip(3.98, 1.1, 1.62);
  constexpr double BaseRadius = 0.15;
  constexpr int Rings = 9, Segments = 12;
  auto centre = [&](double t) {
    return base * ((1 - t) * (1 - t)) + bend * (2 * t * (1 - t)) + tip * (t * t);
  };
  auto radius = [&](double t) { return BaseRadius * (1 - t) * (1 + 0.4 * t); };
  // Frame round the curve: one axis as close to the body's x as the curve allows.
  auto frame = [&](double t, Vector3& tangent, Vector3& a, Vector3& b) {
    tangent = Normalized((bend - base) * (2 * (1 - t)) + (tip - bend) * (2 * t));
    a = Normalized(Vector3(1, 0, 0) - tangent * tangent.x);
    b = tangent.Cross(a);
  };
  auto point = [&](double t, double angle) {
    Vector3 tangent, a, b;
    frame(t, tangent, a, b);
    return centre(t) + (a * det::Cos(angle) + b * det::Sin(angle)) * radius(t);
  };
  auto normal = [&](double t, double angle) {
    constexpr double h = 1e-5;
    const Vector3 alongT = (point(t + h, angle) - point(t - h, angle)) * (0.5 / h);
    const Vector3 around = (point(t, angle + h) - point(t, angle - h)) * (0.5 / h);
    return Normalized(around.Cross(alongT));
  };
  Mesh m;
  const Vector3 axis = Normalized(tip - base);
  auto add = [&](const Vector3& p, const Vector3& n) {
    return m.Add({p, PartGridPoint(p, n, axis, BaseRadius), n});
  };
  // Angles start half a segment off the x-facing side, so no normal points straight along x.
  auto angleOf = [&](double s) { return 2 * det::Pi * (s + 0.5) / Segments; };
  for (int r = 0; r < Rings; ++r) {
    const double t = static_cast<double>(r) / Rings;
    for (int s = 0; s < Segments; ++s) add(point(t, angleOf(s)), normal(t, angleOf(s)));
  }
  // The point: one vertex per segment with that segment's normal just below the tip.
  const double nearTip = static_cast<double>(Rings - 1) / Rings + 0.5 / Rings;
  for (int s = 0; s < Segments; ++s) add(centre(1), normal(nearTip, angleOf(s + 0.5)));
  auto at = [&](int r, int s) { return r * Segments + s % Segments; };
  for (int r = 0; r + 1 < Rings; ++r)
    for (int s = 0; s < Segments; ++s) {
      m.Triangle(at(r, s), at(r, s + 1), at(r + 1, s + 1));
      m.Triangle(at(r, s), at(r + 1, s + 1), at(r + 1, s));
    }
  for (int s = 0; s < Segments; ++s) m.Triangle(at(Rings - 1, s), at(Rings - 1, s + 1), at(Rings, s));
  return m;
}

Mesh Pair(const Mesh& one, const char* name) {
  Mesh both = one;
  both.name = name;
  both.AddMirrorOf(one);
  return both;
}

}  // namespace

std::vector<Mesh> BuildCreature() {
  std::vector<Mesh> surfaces(2);
  surfaces[0].name = "Scale";
  surfaces[1].name = "Wrinkles";
  BuildBody(surfaces[0], surfaces[1]);
  surfaces.push_back(Pair(Eye(), "Eyes"));
  surfaces.push_back(Pair(Horn(), "Horns"));
  return surfaces;
}
