#pragma once
// Test seam for the embedded shader texts: a test may stand a text of its own in for one of the
// five, or make one missing, to drive the failure paths of scene initialisation. The saver never
// calls these.

namespace platform {

// From now on FindShaderText(id) returns `text` (nullptr: as if the program had no such text).
// The text must outlive its use. Ids other than 110 to 114 are ignored.
void ReplaceShaderText(int id, const char* text);

// Back to the embedded texts.
void RestoreShaderTexts();

}  // namespace platform
