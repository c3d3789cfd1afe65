#pragma once
#include <string>

#include "Creature.h"

// Draws the model from the side (top half) and from above (bottom half) into a PPM image,
// shading each surface roughly as its fragment shader does, so the shape can be judged without
// a GPU.
bool WritePreview(const Creature& creature, const std::string& path);
