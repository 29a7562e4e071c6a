#pragma once

// How an image side becomes a texture side, as the resize settings of the
// texture import and the bulk converter give it.

// Clamp items name the sides 2^0 .. 2^12 ("1" .. "4096").
inline constexpr int VTFLargestClampItem = 12;

// Mode 0 takes the nearest power of two (a tie goes to the larger), 1 the
// next, 2 the previous, each limited to 2^clampItem and at least 1; mode 3
// is exactly 2^clampItem, whatever the source side.
int vtfResizedSide(int source, int mode, int clampItem);
