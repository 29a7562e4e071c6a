#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The pixel formats of texture images and the fixed facts about each: bits
// per pixel, alpha bits and names. Every image a texture holds is stored in one
// of these; everything that looks at pixels decodes to RGBA8888 (bytes red,
// green, blue, alpha) through VTFConvert.h and encodes back.
//
// The type is a signed 32-bit value as stored in files: -1 is "no image",
// 0..26 are formats, anything else is invalid: the reader refuses a file that
// states one (it has no size here, so its bytes would be lost on a save).
enum VTFImageFormat : qint32
{
    IMAGE_FORMAT_NONE = -1,
    IMAGE_FORMAT_RGBA8888 = 0,
    IMAGE_FORMAT_ABGR8888,
    IMAGE_FORMAT_RGB888,
    IMAGE_FORMAT_BGR888,
    IMAGE_FORMAT_RGB565,
    IMAGE_FORMAT_I8,
    IMAGE_FORMAT_IA88,
    IMAGE_FORMAT_P8,
    IMAGE_FORMAT_A8,
    IMAGE_FORMAT_RGB888_BLUESCREEN,
    IMAGE_FORMAT_BGR888_BLUESCREEN,
    IMAGE_FORMAT_ARGB8888,
    IMAGE_FORMAT_BGRA8888,
    IMAGE_FORMAT_DXT1,
    IMAGE_FORMAT_DXT3,
    IMAGE_FORMAT_DXT5,
    IMAGE_FORMAT_BGRX8888,
    IMAGE_FORMAT_BGR565,
    IMAGE_FORMAT_BGRX5551,
    IMAGE_FORMAT_BGRA4444,
    IMAGE_FORMAT_DXT1_ONEBITALPHA,
    IMAGE_FORMAT_BGRA5551,
    IMAGE_FORMAT_UV88,
    IMAGE_FORMAT_UVWQ8888,
    IMAGE_FORMAT_RGBA16161616F,
    IMAGE_FORMAT_RGBA16161616,
    IMAGE_FORMAT_UVLX8888,
    IMAGE_FORMAT_COUNT // number of formats, not a format
};

// Texture flags (one bit each) that the document itself sets or reads; the
// others are named by vtfFlagName and only carried.
namespace VTFFlag {
inline constexpr quint32 OneBitAlpha = 0x1000;
inline constexpr quint32 EightBitAlpha = 0x2000;
inline constexpr quint32 EnvironmentMap = 0x4000;
} // namespace VTFFlag

// Cube faces by index; a seventh face holds the spheremap.
namespace VTFFace {
inline constexpr int Right = 0;
inline constexpr int Left = 1;
inline constexpr int Back = 2;
inline constexpr int Front = 3;
inline constexpr int Up = 4;
inline constexpr int Down = 5;
inline constexpr int Spheremap = 6;
} // namespace VTFFace

// The most bytes one image buffer may take: what a QByteArray can hold.
inline constexpr quint64 VTFMaxImageBytes = quint64(0x7FFFFFFF) - 64;

// True for 0..26.
bool vtfFormatIsValid(VTFImageFormat format);
// True for NONE and 0..26: the values a texture file may state.
bool vtfFormatIsKnown(VTFImageFormat format);
// DXT1, DXT3, DXT5 and DXT1_ONEBITALPHA (sides rounded up to 4 when sized).
bool vtfFormatIsCompressed(VTFImageFormat format);
// True for the valid formats that decode and encode (all but P8).
bool vtfFormatIsConvertible(VTFImageFormat format);

// "RGBA8888" ... for -1..26 ("NONE" for -1); a null string otherwise.
QString vtfFormatName(VTFImageFormat format);
// Table columns; 0 outside 0..26.
int vtfFormatBitsPerPixel(VTFImageFormat format);
// 0, 1 or 8; decides the alpha flags when a texture's format changes.
int vtfFormatAlphaBits(VTFImageFormat format);

// Bytes of one width x height image, computed in 64 bits (a 65535 x 65535
// RGBA16161616 image does not fit 32). DXT sides are first rounded up to a
// multiple of 4. 0 for NONE and for invalid formats.
quint64 vtfComputeImageSize(quint16 width, quint16 height, VTFImageFormat format);

// Names of texture flags (one bit set; null otherwise), of cube faces
// (0..6; null otherwise) and of Magick++ resize filters (1..29; empty
// otherwise).
QString vtfFlagName(quint32 flag);
QString vtfFaceName(int index);
QString vtfFilterName(int filter);

// Sizes `bytes` to `size` zero bytes. False, with `bytes` unchanged, when the
// size is above VTFMaxImageBytes or the memory is not there.
bool vtfAllocateImage(QByteArray &bytes, quint64 size);
