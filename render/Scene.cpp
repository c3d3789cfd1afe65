#include "render/Scene.h"

SurfaceProgram SurfacePrograms[SurfaceProgramCount];

// Stand-in until the shader programs are built.
int InitScene() { return 0; }
int UploadSurface(Surface*) { return 0; }
