#pragma once

#include <QtGlobal>

// Tone mapping of RGBA16161616F images for display.
//
// The format is read as four little-endian 16-bit unsigned integers, not half
// floats: stored textures rely on that reading. Green is taken from its high
// byte only (high x 257).
namespace VTFHdr {

// exp(mean of ln(0.299 R + 0.587 G + 0.114 B + 1e-10)) over all pixels, the
// channels as 16-bit integers. `pixels` holds count x 8 bytes.
double averageLuminance(const uchar *pixels, qint64 count);

// Decodes count pixels of 8 bytes into RGBA8888 with key k, shift s and
// gamma exponent g. An average luminance of 0 is computed first.
//
// A black pixel (luminance 0) gets tone-map factor 0, and a value that turns
// out NaN (a negative base raised to the gamma) gives 0, so every input maps
// to defined bytes.
void toneMap(const uchar *pixels, qint64 count, uchar *rgba, float key, float shift, float gamma,
             float averageLuminance);

} // namespace VTFHdr
