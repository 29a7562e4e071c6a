#pragma once

#include "VTFFormat.h"

// DXT blocks through libsquish.
//
// The installed libsquish (1.15) no longer reads a perceptual metric from its
// flags: the old flag words for "iterative cluster fit, perceptual metric"
// would select plain cluster fit with uniform weights there. The intent is
// kept by asking for iterative cluster fit explicitly and passing the
// perceptual weights as the metric argument.
namespace VTFDxt {
// Red, green and blue weights passed as libsquish's metric.
inline constexpr float PerceptualMetric[3] = {0.2126f, 0.7152f, 0.0722f};

// libsquish compression flags for a DXT format (0 for any other format):
// DXT1: kDxt1 + kColourIterativeClusterFit; DXT1_ONEBITALPHA, DXT3, DXT5: the
// block kind + kColourIterativeClusterFit + kWeightColourByAlpha.
int compressionFlags(VTFImageFormat format);
// kDxt1, kDxt3 or kDxt5 (DXT1_ONEBITALPHA decodes as DXT1); 0 otherwise.
int decompressionFlags(VTFImageFormat format);

// `blocks` holds vtfComputeImageSize(width, height, format) bytes, `rgba`
// width x 4 x height; sides are at least 1.
void decode(const uchar *blocks, int width, int height, VTFImageFormat format, uchar *rgba);
// DXT1 compresses the image with every alpha forced to 255 (a copy; `rgba`
// stays as it is).
void encode(const uchar *rgba, int width, int height, VTFImageFormat format, uchar *blocks);
} // namespace VTFDxt
