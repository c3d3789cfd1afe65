#include "render/Banner.h"

// Stand-ins until the banner is drawn.
int CreateBannerTexture() { return 0; }
void DrawBanner() {}
