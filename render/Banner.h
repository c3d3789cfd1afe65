#pragma once

// Builds the banner texture from bitmap 115; 0 on success, 1 on failure.
int CreateBannerTexture();
// Draws the translucent grey banner in the lower right of the view.
void DrawBanner();

// The banner's texture name; 0 until CreateBannerTexture has run. Never deleted.
extern unsigned bannerTexture;
