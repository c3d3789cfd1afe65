#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "creature/Ribbon.h"
#include "creature/Surface.h"
#include "creature/model/ModelData.h"

namespace {

double Distance(const Vector3& a, const Vector3& b) { return (a - b).Length(); }

struct Extent {
  Vector3 min{1e9, 1e9, 1e9}, max{-1e9, -1e9, -1e9};
  void Add(const Vector3& p) {
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
  }
};

Extent ExtentOf(const Surface& s) {
  Extent e;
  for (int i = 0; i < s.vertexCount; ++i) e.Add(s.vertices[i].position);
  return e;
}

TEST(Model, EveryVertexCarriesAnOrthonormalPatternFrame) {
  for (const Surface* s = SurfaceTable; s->vertexCount != 0; ++s) {
    for (int i = 0; i < s->vertexCount; ++i) {
      const VertexRecord& v = s->vertices[i];
      SCOPED_TRACE(testing::Message() << "surface " << (s - SurfaceTable) << " vertex " << i);
      EXPECT_NEAR(v.normal.Length(), 1.0, 2e-6);
      EXPECT_NEAR(v.gridX.Length(), 1.0, 2e-6);
      EXPECT_NEAR(v.gridY.Length(), 1.0, 2e-6);
      EXPECT_NEAR(v.normal.Dot(v.gridX), 0.0, 2e-6);
      EXPECT_NEAR(v.normal.Dot(v.gridY), 0.0, 2e-6);
      EXPECT_NEAR(v.gridX.Dot(v.gridY), 0.0, 2e-6);
      EXPECT_LT(Distance(v.gridX.Cross(v.gridY), v.normal), 2e-6);
      EXPECT_EQ(v.gridY.x, 0.0);
      EXPECT_GT(v.gridX.x, 0.0);
      EXPECT_GE(v.gridPoint.x, 0.0);  // the scale pattern's columns assume it
    }
  }
}

TEST(Model, TrianglesIndexTheirSurfaceAndFaceOutward) {
  for (const Surface* s = SurfaceTable; s->vertexCount != 0; ++s) {
    ASSERT_GT(s->triangleCount, 0);
    for (int t = 0; t < s->triangleCount; ++t) {
      const std::int32_t* k = s->indices + 3 * t;
      for (int c = 0; c < 3; ++c) {
        ASSERT_GE(k[c], 0);
        ASSERT_LT(k[c], s->vertexCount);
      }
      const VertexRecord& a = s->vertices[k[0]];
      const VertexRecord& b = s->vertices[k[1]];
      const VertexRecord& c = s->vertices[k[2]];
      // Counter-clockwise seen from where the normals point: culling keeps these faces.
      const Vector3 facing = (b.position - a.position).Cross(c.position - a.position);
      EXPECT_GT(facing.Dot(a.normal + b.normal + c.normal), 0.0)
          << "surface " << (s - SurfaceTable) << " triangle " << t;
    }
  }
}

TEST(Model, SurfacesHaveTheCreaturesShapeAndOrder) {
  ASSERT_EQ(SurfaceTable[SurfaceCount].vertexCount, 0);
  // The table's counts are those at the head of each triangle block.
  struct Block {
    std::int32_t vertexCount, triangleCount;
    const std::int32_t* indices;
  };
  const Block blocks[SurfaceCount] = {
      {ScaleTriangles.vertexCount, ScaleTriangles.triangleCount, ScaleTriangles.indices},
      {WrinklesTriangles.vertexCount, WrinklesTriangles.triangleCount, WrinklesTriangles.indices},
      {EyesTriangles.vertexCount, EyesTriangles.triangleCount, EyesTriangles.indices},
      {HornsTriangles.vertexCount, HornsTriangles.triangleCount, HornsTriangles.indices}};
  for (int k = 0; k < SurfaceCount; ++k) {
    EXPECT_EQ(SurfaceTable[k].vertexCount, blocks[k].vertexCount) << "surface " << k;
    EXPECT_EQ(SurfaceTable[k].triangleCount, blocks[k].triangleCount) << "surface " << k;
    EXPECT_EQ(SurfaceTable[k].indices, blocks[k].indices) << "surface " << k;
  }
  const Extent body = ExtentOf(SurfaceTable[0]);
  EXPECT_NEAR(body.min.x, -6.07, 0.01);
  EXPECT_NEAR(body.max.x, 5.77, 0.01);
  EXPECT_NEAR(body.max.y, 1.29, 0.05);
  EXPECT_NEAR(body.min.y, -body.max.y, 1e-6);
  const Extent belly = ExtentOf(SurfaceTable[1]);
  EXPECT_NEAR(belly.min.x, -2.01, 0.01);
  EXPECT_NEAR(belly.max.x, 2.77, 0.01);
  EXPECT_LT(belly.min.z, body.min.z + 0.05);  // it hangs below the body
  EXPECT_LT(belly.min.z, -1.5);
  // Eyes and horns come in mirrored pairs near the head.
  for (int k : {2, 3}) {
    const Surface& s = SurfaceTable[k];
    Vector3 left, right;
    for (int i = 0; i < s.vertexCount; ++i) {
      (s.vertices[i].position.y > 0 ? left : right) += s.vertices[i].position;
    }
    left = left / (s.vertexCount / 2.0);
    right = right / (s.vertexCount / 2.0);
    const Vector3 expected = k == 2 ? Vector3(4.716, 0.557, 0.388) : Vector3(4.249, 0.9, 1.24);
    EXPECT_LT(Distance(left, expected), 0.15) << "surface " << k;
    EXPECT_LT(Distance(right, Vector3(expected.x, -expected.y, expected.z)), 0.15);
  }
}

// A private copy of the model, so fitting does not disturb the global data.
struct ModelCopy {
  std::vector<std::vector<VertexRecord>> vertices;
  std::vector<Surface> table;
  ModelCopy() {
    for (const Surface* s = SurfaceTable; s->vertexCount != 0; ++s)
      vertices.emplace_back(s->vertices, s->vertices + s->vertexCount);
    for (std::size_t k = 0; k < vertices.size(); ++k) {
      Surface s = SurfaceTable[k];
      s.vertices = vertices[k].data();
      table.push_back(s);
    }
    table.push_back(Surface{});
  }
};

TEST(FitModel, SpansTheRibbonFromTailToHeadAndIsIdempotent) {
  ModelCopy model;
  Ribbon::FitModel(model.table.data());
  double min = 1e9, max = -1e9;
  for (const auto& surface : model.vertices)
    for (const VertexRecord& v : surface) {
      min = std::min(min, v.position.x);
      max = std::max(max, v.position.x);
    }
  EXPECT_DOUBLE_EQ(max, 1.0);
  EXPECT_DOUBLE_EQ(min, 0.01);
  // Normals and pattern coordinates are untouched by the uniform scaling.
  EXPECT_EQ(model.vertices[0][0].normal.x, SurfaceTable[0].vertices[0].normal.x);
  EXPECT_EQ(model.vertices[0][0].gridPoint.x, SurfaceTable[0].vertices[0].gridPoint.x);

  const auto fitted = model.vertices;
  Ribbon::FitModel(model.table.data());
  for (std::size_t k = 0; k < fitted.size(); ++k)
    for (std::size_t i = 0; i < fitted[k].size(); ++i)
      EXPECT_LT(Distance(fitted[k][i].position, model.vertices[k][i].position), 1e-12);
}

TEST(FitModel, LeavesDegenerateTablesAlone) {
  Surface empty[1] = {};
  Ribbon::FitModel(empty);  // nothing to walk

  std::vector<VertexRecord> flat(3, VertexRecord(2, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0));
  flat[1].position.y = 5;
  Surface table[2] = {{3, 0, flat.data(), nullptr}, {}};
  Ribbon::FitModel(table);
  EXPECT_EQ(flat[0].position.x, 2);
  EXPECT_EQ(flat[1].position.y, 5);
}


// The wings are attached at fitted (0.6, +-0.05, 0.03): that point must lie on the back, not
// float above it or sink into the body.
TEST(FitModel, WingRootsSitOnTheBack) {
  ModelCopy model;
  Ribbon::FitModel(model.table.data());
  const Surface& hide = model.table[0];
  for (double side : {0.05, -0.05}) {
    double top = -1e9;
    for (int t = 0; t < hide.triangleCount; ++t) {
      const std::int32_t* k = hide.indices + 3 * t;
      const Vector3 &a = hide.vertices[k[0]].position, &b = hide.vertices[k[1]].position,
                    &c = hide.vertices[k[2]].position;
      // Barycentric weights of the root's x-y point in the triangle's projection.
      const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
      if (area == 0) continue;
      const double wb = ((0.6 - a.x) * (c.y - a.y) - (side - a.y) * (c.x - a.x)) / area;
      const double wc = ((b.x - a.x) * (side - a.y) - (b.y - a.y) * (0.6 - a.x)) / area;
      if (wb < 0 || wc < 0 || wb + wc > 1) continue;
      top = std::max(top, a.z + (b.z - a.z) * wb + (c.z - a.z) * wc);
    }
    EXPECT_NEAR(top, 0.03, 0.004) << "side " << side;
  }
}

}  // namespace
