// modelgen: builds the creature's four surfaces and writes them as the data sources of
// creature/model/, or renders a picture of them.
//   modelgen --out creature/model     write ModelCounts.h, Scale.cpp, Wrinkles.cpp, Eyes.cpp, Horns.cpp
//   modelgen --stats                  print counts and extents
//   modelgen --preview model.ppm      side and top views as a binary PPM
#include <cstdio>
#include <cstring>
#include <string>

#include "ModelWriter.h"
#include "Preview.h"

namespace {

void PrintStats(const std::vector<DataSurface>& surfaces) {
  int vertices = 0, triangles = 0;
  for (const DataSurface& s : surfaces) {
    double lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9};
    for (const DataVertex& v : s.vertices)
      for (int k = 0; k < 3; ++k) {
        if (v.value[k] < lo[k]) lo[k] = v.value[k];
        if (v.value[k] > hi[k]) hi[k] = v.value[k];
      }
    std::printf("%-9s %5zu vertices %5zu triangles  x %g to %g  y %g to %g  z %g to %g\n",
                s.name.c_str(), s.vertices.size(), s.triangles.size(), lo[0], hi[0], lo[1], hi[1],
                lo[2], hi[2]);
    vertices += static_cast<int>(s.vertices.size());
    triangles += static_cast<int>(s.triangles.size());
  }
  std::printf("in all    %5d vertices %5d triangles\n", vertices, triangles);
}

int Usage() {
  std::fprintf(stderr, "usage: modelgen --out FOLDER | --stats | --preview FILE.ppm\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string option = argv[1];
  if (option == "--out" && argc == 3) return WriteModelSources(argv[2]) ? 0 : 1;
  if (option == "--stats" && argc == 2) {
    PrintStats(RoundForData(BuildCreature()));
    return 0;
  }
  if (option == "--preview" && argc == 3) return WritePreview(argv[2]) ? 0 : 1;
  return Usage();
}
