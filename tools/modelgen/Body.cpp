// The body: one closed tube from the pointed tail to the rounded snout. Its cross-section is an
// upper and a lower half-ellipse that meet at the flanks (the rim). The Scale hide covers the
// tube except for the lower half under the torso, which is the wrinkled belly.
#include <map>
#include <utility>

#include "Curve.h"
#include "base/DetMath.h"
#include "Mesh.h"

namespace {

constexpr double TailTip = -6.07;
constexpr double SnoutTip = 5.77;
constexpr double BellyStart = -2.0;
constexpr double BellyEnd = 2.77;
constexpr double SnoutRounding = 4.9;  // the snout closes like the end of an ellipsoid from here
constexpr int Around = 24;             // tube segments; the rims are at 6 and 18
constexpr double RingSpacing = 0.28;   // along the top of the body
constexpr double BellyMidline = 4.0;   // gridPoint.y along the middle of the belly

// Half-width, height of the back above the rim, depth of the underside below the rim, and the
// rim's height, along the body.
const Curve HalfWidth({{-6.07, 0}, {-5.2, 0.26}, {-4.2, 0.52}, {-3.2, 0.78}, {-2.0, 1.05},
                       {-0.8, 1.24}, {0.5, 1.28}, {1.6, 1.25}, {2.77, 1.05}, {3.4, 0.78},
                       {4.1, 0.92}, {4.7, 0.74}, {5.77, 0.5}});
const Curve BackHeight({{-6.07, 0}, {-5.2, 0.2}, {-4.2, 0.4}, {-3.2, 0.62}, {-2.0, 0.88},
                        {-0.8, 1.12}, {0.5, 1.25}, {1.6, 1.25}, {2.77, 1.05}, {3.4, 0.88},
                        {4.1, 0.98}, {4.7, 0.58}, {5.77, 0.4}});
const Curve BellyDepth({{-6.07, 0}, {-5.2, 0.12}, {-4.2, 0.2}, {-3.2, 0.22}, {-2.0, 0.25},
                        {-1.3, 0.6}, {-0.4, 1.04}, {0.6, 1.23}, {1.6, 1.06}, {2.3, 0.66},
                        {2.77, 0.3}, {3.4, 0.38},
                        {4.1, 0.45}, {4.7, 0.42}, {5.77, 0.4}});
const Curve RimHeight({{-6.07, -0.3}, {-5.2, -0.36}, {-4.2, -0.44}, {-3.2, -0.52}, {-2.0, -0.5},
                       {-0.8, -0.72}, {0.5, -0.75}, {1.6, -0.72}, {2.77, -0.45}, {3.4, -0.15},
                       {4.1, 0.12}, {4.7, 0.03}, {5.77, -0.19}});

struct Section {
  double width, back, belly, rim;      // values
  double dWidth, dBack, dBelly, dRim;  // their slopes along x
};

Section SectionAt(double x) {
  Section s{HalfWidth.Value(x), BackHeight.Value(x), BellyDepth.Value(x), RimHeight.Value(x),
            HalfWidth.Slope(x), BackHeight.Slope(x), BellyDepth.Slope(x), RimHeight.Slope(x)};
  if (x > SnoutRounding) {
    const double length = SnoutTip - SnoutRounding;
    const double q = (x - SnoutRounding) / length;
    const double c = q >= 1 ? 0 : std::sqrt(1 - q * q);
    const double dc = c > 0 ? -q / (length * c) : 0;
    s.dWidth = s.dWidth * c + s.width * dc;
    s.dBack = s.dBack * c + s.back * dc;
    s.dBelly = s.dBelly * c + s.belly * dc;
    s.width *= c;
    s.back *= c;
    s.belly *= c;
  }
  return s;
}

// psi runs round the tube: 0 on top, pi/2 on the +y flank, pi underneath. gridPoint.y grows
// with it, as the data's frames require.
double Psi(int j) { return -det::Pi + 2 * det::Pi * j / Around; }

Vector3 PointAt(double x, double psi) {
  const Section s = SectionAt(x);
  const double c = det::Cos(psi);
  return {x, s.width * det::Sin(psi), s.rim + (c >= 0 ? s.back : s.belly) * c};
}

Vector3 NormalAt(double x, double psi) {
  const Section s = SectionAt(x);
  const double c = det::Cos(psi), sn = det::Sin(psi);
  const bool upper = c >= 0;
  const Vector3 alongX(1, s.dWidth * sn, s.dRim + (upper ? s.dBack : s.dBelly) * c);
  const Vector3 around(0, s.width * c, -(upper ? s.back : s.belly) * sn);
  return Normalized(alongX.Cross(around));
}

// Length of the cross-section's arc over segment j (psi_j to psi_j+1), by Simpson's rule.
double ArcOfSegment(double x, int j) {
  const Section s = SectionAt(x);
  const double a = Psi(j), b = Psi(j + 1);
  const double h = det::Cos((a + b) / 2) >= 0 ? s.back : s.belly;
  constexpr int Steps = 8;
  double sum = 0;
  for (int k = 0; k <= Steps; ++k) {
    const double p = a + (b - a) * k / Steps;
    const double c = det::Cos(p), sn = det::Sin(p);
    const double f = std::sqrt(s.width * s.width * c * c + h * h * sn * sn);
    sum += f * (k == 0 || k == Steps ? 1 : (k % 2 ? 4 : 2));
  }
  return sum * (b - a) / (3 * Steps);
}

struct Ring {
  double x;
  double u;                        // gridPoint.x
  double arc[Around + 1];          // arc length round the section from the top, at each psi_j
};

// Rings evenly spaced along the top of the body, with one ring at each end of the belly.
std::vector<Ring> PlaceRings() {
  constexpr int Samples = 24000;
  std::vector<double> xs(Samples + 1), along(Samples + 1);
  for (int k = 0; k <= Samples; ++k) {
    xs[k] = TailTip + (SnoutTip - TailTip) * k / Samples;
    if (k == 0) continue;
    const double dx = xs[k] - xs[k - 1];
    const Section a = SectionAt(xs[k - 1]), b = SectionAt(xs[k]);
    const double dz = (b.rim + b.back) - (a.rim + a.back);
    along[k] = along[k - 1] + std::sqrt(dx * dx + dz * dz);
  }
  auto alongAt = [&](double x) {
    int k = 1;
    while (k < Samples && xs[k] < x) ++k;
    const double t = (x - xs[k - 1]) / (xs[k] - xs[k - 1]);
    return along[k - 1] + (along[k] - along[k - 1]) * t;
  };
  auto xAt = [&](double a) {
    int k = 1;
    while (k < Samples && along[k] < a) ++k;
    const double t = (a - along[k - 1]) / (along[k] - along[k - 1]);
    return xs[k - 1] + (xs[k] - xs[k - 1]) * t;
  };
  const double stops[] = {TailTip, BellyStart, BellyEnd, SnoutTip};
  std::vector<std::pair<double, double>> placed;  // x, length along the top
  for (int piece = 0; piece < 3; ++piece) {
    const double a0 = alongAt(stops[piece]), a1 = alongAt(stops[piece + 1]);
    int n = static_cast<int>((a1 - a0) / RingSpacing + 0.5);
    if (n < 2) n = 2;
    for (int m = piece == 0 ? 0 : 1; m <= n; ++m) {
      const double a = a0 + (a1 - a0) * m / n;
      const double x = m == 0 ? stops[piece] : (m == n ? stops[piece + 1] : xAt(a));
      placed.push_back({x, piece == 0 && m == 0 ? 0.0 : a});
    }
  }
  std::vector<Ring> rings(placed.size());
  for (size_t i = 0; i < placed.size(); ++i) {
    Ring& r = rings[i];
    r.x = placed[i].first;
    r.u = PatternScale * placed[i].second;
    const int top = Around / 2;
    r.arc[top] = 0;
    for (int j = top; j < Around; ++j) r.arc[j + 1] = r.arc[j] + ArcOfSegment(r.x, j);
    for (int j = top; j > 0; --j) r.arc[j - 1] = r.arc[j] - ArcOfSegment(r.x, j - 1);
  }
  return rings;
}

bool InBelly(const std::vector<Ring>& rings, int i, int j) {
  const bool underside = j < Around / 4 || j >= 3 * Around / 4;
  return underside && rings[i].x >= BellyStart && rings[i + 1].x <= BellyEnd;
}

// Builds one surface from the quads that belong to it. Vertices are made once per ring and
// column; the belly counts its columns from 18 to 30 so that it has no seam under the middle.
class SheetBuilder {
 public:
  SheetBuilder(const std::vector<Ring>& rings, Mesh& mesh, bool belly)
      : rings_(rings), mesh_(mesh), belly_(belly) {}

  void Quad(int i, int j) {
    const int last = static_cast<int>(rings_.size()) - 1;
    const int c = belly_ && j < Around / 2 ? j + Around : j;
    if (i == 0) {
      mesh_.Triangle(Pole(i, c), Vertex(1, c), Vertex(1, c + 1));
    } else if (i + 1 == last) {
      mesh_.Triangle(Vertex(i, c), Pole(last, c), Vertex(i, c + 1));
    } else {
      mesh_.Triangle(Vertex(i, c), Vertex(i + 1, c), Vertex(i + 1, c + 1));
      mesh_.Triangle(Vertex(i, c), Vertex(i + 1, c + 1), Vertex(i, c + 1));
    }
  }

 private:
  double V(int i, int c) const {
    if (!belly_) return PatternMidline + PatternScale * rings_[i].arc[c];
    const Ring& r = rings_[i];
    // Measured from the middle of the belly (psi = pi, column 24), growing with psi.
    const double fromMiddle = c >= Around ? r.arc[c - Around] - r.arc[0] : r.arc[c] - r.arc[Around];
    return BellyMidline + PatternScale * fromMiddle;
  }

  int Vertex(int i, int c) {
    const auto key = std::make_pair(i, c);
    const auto found = index_.find(key);
    if (found != index_.end()) return found->second;
    const double psi = Psi(c % Around);
    GenVertex v{PointAt(rings_[i].x, psi), {rings_[i].u, V(i, c)}, NormalAt(rings_[i].x, psi)};
    return index_[key] = mesh_.Add(v);
  }

  // The tips are points; each segment gets its own tip vertex, with the normal and pattern
  // coordinate of the segment's middle, so that shading and pattern stay smooth up to the tip.
  int Pole(int i, int c) {
    const int next = i == 0 ? 1 : i - 1;
    const double psi = (Psi(c % Around) + Psi(c % Around + 1)) / 2;
    // Just short of the snout's end the normal points almost straight ahead; gridX must keep a
    // positive x, so take the normal a little way back from the very tip.
    const double normalX =
        i == 0 ? rings_[1].x : SnoutRounding + (SnoutTip - SnoutRounding) * 0.9976;
    GenVertex v{PointAt(rings_[i].x, 0), {rings_[i].u, (V(next, c) + V(next, c + 1)) / 2},
                NormalAt(normalX, psi)};
    return mesh_.Add(v);
  }

  const std::vector<Ring>& rings_;
  Mesh& mesh_;
  bool belly_;
  std::map<std::pair<int, int>, int> index_;
};

}  // namespace

void BuildBody(Mesh& scale, Mesh& wrinkles) {
  const std::vector<Ring> rings = PlaceRings();
  SheetBuilder hide(rings, scale, false), belly(rings, wrinkles, true);
  for (int i = 0; i + 1 < static_cast<int>(rings.size()); ++i)
    for (int j = 0; j < Around; ++j) (InBelly(rings, i, j) ? belly : hide).Quad(i, j);
}
