// The banner and the frame-rate text drawn over a cleared frame at the fixed camera, read back.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/OverlayText.h"
#include "platform/Resources.h"
#include "platform/linux/BannerResource.h"
#include "render/Banner.h"
#include "support/GlTestContext.h"

namespace {

constexpr int Width = 1024, Height = 768;
constexpr double Clear[3] = {0.1, 0.2, 0.2};

void ClearFrame() {
  glClearColor(0.1f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool Near(std::uint8_t got, double want, int tolerance = 3) {
  return std::abs(int(got) - int(std::lround(want * 255))) <= tolerance;
}
bool IsClear(const GlTestContext::Rgba& p) {
  return Near(p.r, Clear[0]) && Near(p.g, Clear[1]) && Near(p.b, Clear[2]);
}

TEST(Banner, GreyWhereTheImageIsBrightAndUprightInTheLowerRight) {
  GlTestContext gl(Width, Height);
  ASSERT_TRUE(gl.Ok());
  ASSERT_EQ(CreateBannerTexture(), 0);
  EXPECT_NE(bannerTexture, 0u);
  std::vector<unsigned char> texels(platform::BannerWidth * platform::BannerHeight * 4);
  ASSERT_EQ(platform::LoadBannerTexels(texels.data(), texels.size()), texels.size());

  ClearFrame();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);  // what the wings leave in force
  DrawBanner();
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  const GlTestContext::WindowPoint low = gl.Project(0.48, -0.73, 0);
  const GlTestContext::WindowPoint high = gl.Project(0.98, -0.48, 0);
  EXPECT_GT(low.x, Width * 0.7);  // right of the view, just above its bottom edge
  EXPECT_GT(low.y, 0);
  EXPECT_LT(high.y, Height * 0.2);
  const std::vector<GlTestContext::Rgba> pixels = gl.ReadPixels();
  int compared = 0, wrong = 0, bright = 0;
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      const GlTestContext::Rgba& p = pixels[static_cast<std::size_t>(y) * Width + x];
      const double s = (x + 0.5 - low.x) / (high.x - low.x);
      const double t = (high.y - (y + 0.5)) / (high.y - low.y);  // t = 0 along the top
      if (s < 0 || s >= 1 || t < 0 || t >= 1) {
        if (!IsClear(p)) ++wrong;
        continue;
      }
      const int u = static_cast<int>(s * platform::BannerWidth);
      const int v = static_cast<int>(t * platform::BannerHeight);
      const double a = texels[(static_cast<std::size_t>(v) * platform::BannerWidth + u) * 4 + 3] / 255.0;
      if (a == 1.0) ++bright;
      ++compared;
      // Texel edges may land on either neighbour; allow for that below.
      if (!Near(p.r, 0.4 * a + Clear[0] * (1 - a), 4) || !Near(p.g, 0.4 * a + Clear[1] * (1 - a), 4))
        ++wrong;
    }
  }
  EXPECT_GT(bright, 1000);
  EXPECT_GT(compared, 30000);
  EXPECT_LT(wrong, compared / 20) << "of " << compared;
}

TEST(Banner, AnImageThatCannotBeReadFailsTheTexture) {
  GlTestContext gl(64, 64);
  ASSERT_TRUE(gl.Ok());
  const unsigned char junk[] = {'B', 'M', 1, 2, 3};
  platform::OverrideBannerBitmap(junk, sizeof junk);
  EXPECT_EQ(CreateBannerTexture(), 1);
  platform::OverrideBannerBitmap(nullptr, 0);
  EXPECT_EQ(CreateBannerTexture(), 1);
  platform::RestoreBannerBitmap();
  EXPECT_EQ(CreateBannerTexture(), 0);
}

TEST(OverlayText, WhiteOnBlackInTheTopLeftClippedToItsRectangle) {
  GlTestContext gl(Width, Height);
  ASSERT_TRUE(gl.Ok());
  ClearFrame();
  GLdouble projection[16], modelView[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glColor4d(0.3, 0.6, 0.9, 0.5);

  platform::DrawOverlayText(nullptr, 102, 76, "FPS : 62.5 and a long tail that the box cuts off");

  const std::vector<GlTestContext::Rgba> pixels = gl.ReadPixels();
  int white = 0, black = 0, outside = 0;
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      const GlTestContext::Rgba& p = pixels[static_cast<std::size_t>(y) * Width + x];
      const bool inside = x < 102 && Height - 1 - y < 76;
      if (!inside) {
        if (!IsClear(p)) ++outside;
      } else if (p.r == 255 && p.g == 255 && p.b == 255) {
        ++white;
      } else if (p.r == 0 && p.g == 0 && p.b == 0) {
        ++black;
      }
    }
  }
  EXPECT_GT(white, 50);
  EXPECT_GT(black, 200);
  EXPECT_EQ(outside, 0);

  // Everything it changed is put back.
  GLdouble after[16];
  glGetDoublev(GL_PROJECTION_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], projection[i]);
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], modelView[i]);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  GLdouble colour[4];
  glGetDoublev(GL_CURRENT_COLOR, colour);
  EXPECT_NEAR(colour[0], 0.3, 1e-6);
  EXPECT_NEAR(colour[3], 0.5, 1e-6);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

// Each context on a connection of its own, as each start of the render thread makes them, one
// after the other and two at once: each draws the glyphs, none borrows another's font or lists.
TEST(OverlayText, EveryNewContextAndConnectionDrawsItsText) {
  auto whiteInRectangle = [](const GlTestContext& gl) {
    ClearFrame();
    platform::DrawOverlayText(nullptr, 102, 76, "FPS : 62.5");
    const std::vector<GlTestContext::Rgba> pixels = gl.ReadPixels();
    int white = 0;
    for (int y = gl.Height() - 76; y < gl.Height(); ++y)
      for (int x = 0; x < 102; ++x) {
        const GlTestContext::Rgba& p = pixels[static_cast<std::size_t>(y) * gl.Width() + x];
        white += p.r == 255 && p.g == 255 && p.b == 255;
      }
    return white;
  };
  for (int round = 0; round < 3; ++round) {
    GlTestContext gl(200, 150);
    ASSERT_TRUE(gl.Ok());
    EXPECT_GT(whiteInRectangle(gl), 20) << "round " << round;
  }
  GlTestContext first(200, 150);
  ASSERT_TRUE(first.Ok());
  EXPECT_GT(whiteInRectangle(first), 20);
  GlTestContext second(200, 150);
  ASSERT_TRUE(second.Ok());
  EXPECT_GT(whiteInRectangle(second), 20);
}

}  // namespace
