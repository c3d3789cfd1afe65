#pragma once
#include "Mesh.h"

// The four surfaces of the creature, in table order: the scaly hide of the body, its wrinkled
// belly, the two eyes and the two horns. Model x runs along the body with the head at the
// greatest x, y across, z up.
struct Creature {
  Mesh scale{"Scale"};
  Mesh wrinkles{"Wrinkles"};
  Mesh eyes{"Eyes"};
  Mesh horns{"Horns"};
};

Creature BuildCreature();
