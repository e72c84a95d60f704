// The world's fixed tables. They are defined together in this one file so
// that they are constructed in this order before main runs. All of them live
// in zero-filled storage and their constructors write only what must differ
// from zero; in particular nothing touches the mini globes' height maps, so
// those 100 MiB stay unbacked zero pages.
#include "world/globe_mesh.h"
#include "world/ragdoll.h"
#include "world/world_draw.h"

RagdollNode ragdollCrowd[ragdollNodeCount];
Vector4 ragdollTemplate[ragdollJointCount];
MiniGlobe miniGlobes[miniGlobeCount];
GlobeMesh globe;
Vector4 skyPositions[skySpriteCount];
Colour skyColours[skySpriteCount];
// The pickups, the sparks and the ship are the world in play (world/world.h),
// held by the game with the rest of its state.
