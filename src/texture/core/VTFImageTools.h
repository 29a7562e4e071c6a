#pragma once

#include <QByteArray>

// Whole-image helpers on RGBA8888 buffers (width x 4 x height bytes, rows top
// to bottom). A buffer smaller than its sides say, or a side below 1, is left
// alone (and measures 0).

// The mean linear-light colour: each channel through t[i] = (i / 255)^2.2,
// averaged per row, the row means averaged. Alpha is ignored.
void vtfComputeImageReflectivity(const QByteArray &rgba, int width, int height, float &red,
                                 float &green, float &blue);

// Raises red, green and blue to 1 / gamma through a 256-entry table; alpha is
// untouched. Nothing at gamma exactly 1. Table entries are clamped to 0..255,
// so a gamma of 0 or below cannot produce undefined values.
void vtfApplyGamma(QByteArray &rgba, int width, int height, float gamma);

// Swaps row y with row height - 1 - y.
void vtfFlipVertical(QByteArray &rgba, int width, int height);
// Swaps column x with column width - 1 - x in every row.
void vtfMirrorHorizontal(QByteArray &rgba, int width, int height);
