#include "VTFDxt.h"

#include <squish.h>

#include <QByteArray>

namespace VTFDxt {

int compressionFlags(VTFImageFormat format)
{
    const int fit = squish::kColourIterativeClusterFit;
    switch (format) {
    case IMAGE_FORMAT_DXT1:
        return squish::kDxt1 | fit;
    case IMAGE_FORMAT_DXT1_ONEBITALPHA:
        return squish::kDxt1 | fit | squish::kWeightColourByAlpha;
    case IMAGE_FORMAT_DXT3:
        return squish::kDxt3 | fit | squish::kWeightColourByAlpha;
    case IMAGE_FORMAT_DXT5:
        return squish::kDxt5 | fit | squish::kWeightColourByAlpha;
    default:
        return 0;
    }
}

int decompressionFlags(VTFImageFormat format)
{
    switch (format) {
    case IMAGE_FORMAT_DXT1:
    case IMAGE_FORMAT_DXT1_ONEBITALPHA:
        return squish::kDxt1;
    case IMAGE_FORMAT_DXT3:
        return squish::kDxt3;
    case IMAGE_FORMAT_DXT5:
        return squish::kDxt5;
    default:
        return 0;
    }
}

void decode(const uchar *blocks, int width, int height, VTFImageFormat format, uchar *rgba)
{
    squish::DecompressImage(rgba, width, height, blocks, decompressionFlags(format));
}

void encode(const uchar *rgba, int width, int height, VTFImageFormat format, uchar *blocks)
{
    float metric[3] = {PerceptualMetric[0], PerceptualMetric[1], PerceptualMetric[2]};
    const int flags = compressionFlags(format);
    if (format != IMAGE_FORMAT_DXT1) {
        squish::CompressImage(rgba, width, height, blocks, flags, metric);
        return;
    }
    // Plain DXT1 has no alpha: a transparent texel must not turn the block
    // into the three-colour mode with a black, transparent fourth entry.
    const qsizetype count = qsizetype(width) * height * 4;
    QByteArray opaque(reinterpret_cast<const char *>(rgba), int(count));
    uchar *p = reinterpret_cast<uchar *>(opaque.data());
    for (qsizetype i = 3; i < count; i += 4)
        p[i] = 255;
    squish::CompressImage(p, width, height, blocks, flags, metric);
}

} // namespace VTFDxt
