#pragma once
#include "base/Vector3.h"
#include "creature/Wing.h"
#include "render/FrameTime.h"

class Ribbon;
struct Surface;
struct SurfaceProgram;

class WingRecording;

// Draws one picture of the creature into the back buffer: the body bent along the ribbon, then
// both wings riding on it. The same as a clear, AdvanceFrame and DrawAdvancedFrame.
void DrawFrame(const FrameTime& frame);

// The two halves of DrawFrame, for a frame that must know where the creature will be before it
// clears anything. AdvanceFrame moves the flight and both wings on by the frame's time and
// records the wings' geometry (FrameWingGeometry) without drawing; DrawAdvancedFrame draws the
// body and the recorded wings.
void AdvanceFrame(const FrameTime& frame);
void DrawAdvancedFrame();
const WingRecording& FrameWingGeometry();

// Draws one uploaded surface with its program, bent along the ribbon whose packed node matrixes
// and vertexes are given (Ribbon::NumberOfNodes of each). Its arrays are disabled again on
// return; the program stays in use.
void DrawSurface(const Surface& surface, const SurfaceProgram& program, const float* matrixes,
                 const float* vertexes);

// What frame drawing keeps between frames to place the wings, made on the first frame: the
// model-space anchor of the first wing and the two model directions that become its axes, then
// the two wings. The second wing is placed from the same values with y mirrored, so between
// frames they always read (0.6, 0.05, 0.03), (1, 0, 0) and (0, 1, 0).
struct FrameWings {
  Vector3 wingAnchor{0.6, 0.05, 0.03};
  Vector3 alongBody{1, 0, 0};
  Vector3 acrossBody{0, 1, 0};
  Wing first;
  Wing second;
};
const FrameWings& FrameDrawingWings();

// A wing's root and axes for one frame: the anchor and the two directions carried by the body's
// node at the anchor's model x.
struct WingPlacement {
  Vector3 root, axis, lateral;
};
// Places both wings on the ribbon as it stands: the first from the statics, the second from them
// mirrored across the body's x-z plane. The statics read unmirrored again on return.
void PlaceWings(FrameWings& wings, const Ribbon& ribbon, WingPlacement& first,
                WingPlacement& second);
