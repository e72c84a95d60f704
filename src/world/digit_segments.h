#pragma once

// Seven-segment masks for the digits 0..9, filled by buildRagdollCrowd.
// Bits: 0x01 top, 0x02 upper left, 0x04 middle, 0x08 upper right,
// 0x10 lower left, 0x20 bottom, 0x40 lower right, 0x80 centre bar.
extern int digitSegments[10];
