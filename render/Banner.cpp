#include "render/Banner.h"

#include <GL/glew.h>

#include <vector>

#include "platform/Resources.h"

unsigned bannerTexture = 0;

int CreateBannerTexture() {
  std::vector<unsigned char> texels(static_cast<std::size_t>(platform::BannerWidth) *
                                    platform::BannerHeight * 4);
  if (platform::LoadBannerTexels(texels.data(), texels.size()) == 0) return 1;
  GLuint name = 0;
  glGenTextures(1, &name);
  bannerTexture = name;
  glBindTexture(GL_TEXTURE_2D, bannerTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  // Only alpha is kept: the image's grey level, row 0 at the top.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, platform::BannerWidth, platform::BannerHeight, 0,
               GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  return 0;
}

void DrawBanner() {
  glColor3d(0.4, 0.4, 0.4);
  glDisable(GL_DEPTH_TEST);
  // No blend function of its own: the wings leave source alpha / one minus source alpha set.
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, bannerTexture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  // Counter-clockwise as the camera sees it, so culling keeps it; t = 0 along the top edge.
  glBegin(GL_QUADS);
  glTexCoord2d(0, 1);
  glVertex3d(0.48, -0.73, 0);
  glTexCoord2d(1, 1);
  glVertex3d(0.98, -0.73, 0);
  glTexCoord2d(1, 0);
  glVertex3d(0.98, -0.48, 0);
  glTexCoord2d(0, 0);
  glVertex3d(0.48, -0.48, 0);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
}
