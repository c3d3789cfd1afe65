#pragma once
#include <map>
#include <string>
#include <vector>

#include "Mesh.h"

// A vertex as the data files hold it: every value rounded to six significant digits, the frame
// made from the normal and the normal then recomputed as gridX x gridY of the rounded tangents.
struct DataVertex {
  double value[14];
};

struct DataSurface {
  std::string name;
  std::vector<DataVertex> vertices;
  std::vector<std::array<int, 3>> triangles;
};

std::vector<DataSurface> RoundForData(const std::vector<Mesh>& meshes);

// The text of each file of creature/model/, by file name.
std::map<std::string, std::string> ModelSources(const std::vector<DataSurface>& surfaces);

// Writes them into `folder`; false (with a message on stderr) when a file cannot be written.
bool WriteModelSources(const std::string& folder);

// Shortest text of v rounded to six significant digits ("0" for any zero).
std::string SixDigits(double v);
