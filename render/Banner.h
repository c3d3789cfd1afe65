#pragma once

// Builds the banner texture from bitmap 115; 0 on success, 1 on failure.
int CreateBannerTexture();
// Draws the translucent grey banner in the lower right of the view.
void DrawBanner();
