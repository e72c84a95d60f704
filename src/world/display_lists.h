#pragma once

// Every display-list number the game uses. The numbers are fixed by hand,
// never asked of glGenLists, so they live here side by side and cannot meet.

// Image uploads, compiled by the rendering set-up: calling one with a texture
// bound fills that texture. The earth's also fills the globe's height map
// while it is compiled.
constexpr unsigned int earthImageList = 1;
constexpr unsigned int moonImageList = 2;
constexpr unsigned int particleImageList = 7;
constexpr unsigned int fontImageList = 8;
constexpr unsigned int shipImageList = 9;

// Meshes, compiled by the first world draw: the globe as the earth, the
// globe rebuilt as the moon, and the small globes, one list each from
// firstMiniGlobeList on (10 + index).
constexpr unsigned int earthGlobeList = 3;
constexpr unsigned int moonGlobeList = 4;
constexpr unsigned int firstMiniGlobeList = 10;
static_assert(firstMiniGlobeList > shipImageList,
              "the small globes' lists follow every other list");
