#include "VTFFormat.h"

#include <new>

namespace {
struct FormatInfo
{
    const char *name;
    int bitsPerPixel;
    int alphaBits;
};

// Indexed by format value 0..26.
constexpr FormatInfo Formats[IMAGE_FORMAT_COUNT] = {
    {"RGBA8888", 32, 8},
    {"ABGR8888", 32, 8},
    {"RGB888", 24, 0},
    {"BGR888", 24, 0},
    {"RGB565", 16, 0},
    {"I8", 8, 0},
    {"IA88", 16, 8},
    {"P8", 8, 0},
    {"A8", 8, 8},
    {"RGB888_BLUESCREEN", 24, 0},
    {"BGR888_BLUESCREEN", 24, 0},
    {"ARGB8888", 32, 8},
    {"BGRA8888", 32, 8},
    {"DXT1", 4, 0},
    {"DXT3", 8, 8},
    {"DXT5", 8, 8},
    {"BGRX8888", 32, 0},
    {"BGR565", 16, 0},
    {"BGRX5551", 16, 0},
    {"BGRA4444", 16, 8},
    {"DXT1_ONEBITALPHA", 4, 1},
    {"BGRA5551", 16, 1},
    {"UV88", 16, 0},
    {"UVWQ8888", 32, 8},
    {"RGBA16161616F", 64, 8},
    {"RGBA16161616", 64, 8},
    {"UVLX8888", 32, 8},
};

// Bit n of the flags word is named FlagNames[n].
constexpr const char *FlagNames[32] = {
    "Point Sampling",
    "Trilinear Filtering",
    "Clamp S",
    "Clamp T",
    "Anisotropic Filtering",
    "Hint DTX5",
    "PWL Corrected / No Compress",
    "Normal Map",
    "Disable Mipmaps",
    "No LOD",
    "No Minimum Mipmap",
    "Procedural",
    "One Bit Alpha",
    "Eight Bit Alpha",
    "Environment Map",
    "Render Target",
    "Depth Render Target",
    "No Debug Override",
    "Simple Copy",
    "Pre SRGB / One Over MIP Level In Alpha",
    "Pre Multiply By One Over MIP",
    "Normal to DuDv",
    "Alpha Test MIP Generation",
    "No Depth Buffer",
    "NICE Filtered",
    "Clamp U",
    "Vertex Texture",
    "SSBump",
    "Flag 28",
    "Border",
    "Flag 30",
    "Flag 31",
};

constexpr const char *FaceNames[7] = {"Right", "Left", "Back", "Front", "Up", "Down", "Spheremap"};

// Indexed by Magick++ filter number - 1.
constexpr const char *FilterNames[29] = {
    "Point",
    "Box",
    "Triangle",
    "Hermite",
    "Hanning",
    "Hamming",
    "Blackman",
    "Gaussian",
    "Quadratic",
    "Cubic",
    "Catrom",
    "Mitchell",
    "Jinc",
    "Sinc",
    "Sinc Fast",
    "Kaiser",
    "Welsh",
    "Parzen",
    "Bohman",
    "Bartlett",
    "Lagrange",
    "Lanczos",
    "Lanczos Sharp",
    "Lanczos 2",
    "Lanczos 2 Sharp",
    "Robidoux",
    "Robidoux Sharp",
    "Cosine",
    "Spline",
};
} // namespace

bool vtfFormatIsValid(VTFImageFormat format)
{
    return format >= 0 && format < IMAGE_FORMAT_COUNT;
}

bool vtfFormatIsKnown(VTFImageFormat format)
{
    return format == IMAGE_FORMAT_NONE || vtfFormatIsValid(format);
}

bool vtfFormatIsCompressed(VTFImageFormat format)
{
    return format == IMAGE_FORMAT_DXT1 || format == IMAGE_FORMAT_DXT3 ||
           format == IMAGE_FORMAT_DXT5 || format == IMAGE_FORMAT_DXT1_ONEBITALPHA;
}

bool vtfFormatIsConvertible(VTFImageFormat format)
{
    return vtfFormatIsValid(format) && format != IMAGE_FORMAT_P8;
}

QString vtfFormatName(VTFImageFormat format)
{
    if (format == IMAGE_FORMAT_NONE)
        return QStringLiteral("NONE");
    return vtfFormatIsValid(format) ? QString::fromLatin1(Formats[format].name) : QString();
}

int vtfFormatBitsPerPixel(VTFImageFormat format)
{
    return vtfFormatIsValid(format) ? Formats[format].bitsPerPixel : 0;
}

int vtfFormatAlphaBits(VTFImageFormat format)
{
    return vtfFormatIsValid(format) ? Formats[format].alphaBits : 0;
}

quint64 vtfComputeImageSize(quint16 width, quint16 height, VTFImageFormat format)
{
    if (!vtfFormatIsValid(format))
        return 0;
    quint64 w = width;
    quint64 h = height;
    if (vtfFormatIsCompressed(format)) {
        w = (w + 3) / 4 * 4;
        h = (h + 3) / 4 * 4;
    }
    return w * h * quint64(Formats[format].bitsPerPixel) / 8;
}

QString vtfFlagName(quint32 flag)
{
    if (flag == 0 || (flag & (flag - 1)) != 0)
        return QString();
    int bit = 0;
    while (!(flag & 1u)) {
        flag >>= 1;
        ++bit;
    }
    return QString::fromLatin1(FlagNames[bit]);
}

QString vtfFaceName(int index)
{
    return index >= 0 && index < 7 ? QString::fromLatin1(FaceNames[index]) : QString();
}

QString vtfFilterName(int filter)
{
    return filter >= 1 && filter <= 29 ? QString::fromLatin1(FilterNames[filter - 1])
                                       : QStringLiteral("");
}

bool vtfAllocateImage(QByteArray &bytes, quint64 size)
{
    if (size > VTFMaxImageBytes)
        return false;
    try {
        QByteArray zeroed(int(size), '\0');
        bytes.swap(zeroed);
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}
