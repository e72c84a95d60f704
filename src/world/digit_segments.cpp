#include "world/digit_segments.h"

int digitSegments[10] = {};
