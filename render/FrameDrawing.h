#pragma once
#include "render/FrameTime.h"

// Draws one picture of the creature into the back buffer.
void DrawFrame(const FrameTime& frame);
