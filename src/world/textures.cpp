#include "world/textures.h"

unsigned int textures[6] = {};
