#pragma once
#include <string>

// Renders the fitted creature with its own surface patterns, from the side and from above, into
// a binary PPM; false when the file cannot be written.
bool WritePreview(const std::string& path);
