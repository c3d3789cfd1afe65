#pragma once
// Scene initialisation: the four surface programs and each surface's GPU buffers.
struct Surface;

// Locations and program name for one surface; -1 / 0 until InitScene has run.
struct SurfaceProgram {
  int aGridPoint = -1;
  int aNormal = -1;
  int aGridX = -1;
  int aGridY = -1;
  int uRibbonMatrixes = -1;
  int uRibbonVertexes = -1;
  int program = 0;
};

constexpr int SurfaceProgramCount = 4;
extern SurfaceProgram SurfacePrograms[SurfaceProgramCount];

// 0 on success, 1 on failure (its own log line written where it has one).
int InitScene();
int UploadSurface(Surface* surface);
