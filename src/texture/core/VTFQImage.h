#pragma once

#include <QByteArray>
#include <QImage>

// What vtfQImageFromImage shows: a bit set. Colour, or one channel as opaque
// grey; KeepAlpha added to Colour keeps the alpha (over a checkerboard or in
// the image).
enum VTFChannelMode
{
    VTF_CHANNEL_COLOR = 0x01,
    VTF_CHANNEL_RED = 0x02,
    VTF_CHANNEL_GREEN = 0x04,
    VTF_CHANNEL_BLUE = 0x08,
    VTF_CHANNEL_ALPHA = 0x10,
    VTF_CHANNEL_KEEP_ALPHA = 0x20,
};

// Width x height x 4 RGBA8888 bytes of an image, rows top to bottom. A null
// image gives an empty array.
QByteArray vtfImageFromQImage(const QImage &image);

// An ARGB32 image of RGBA8888 bytes; a null image when the buffer is smaller
// than its sides say.
//
// `mode` (VTFChannelMode bits): a single channel (red, green, blue or alpha)
// is shown as opaque grey. Colour is shown opaque unless KeepAlpha is set;
// with KeepAlpha and `checkerboard`, each pixel is blended over 8 x 8 cells of
// grey 102 and 153 and shown opaque; with KeepAlpha alone the image keeps the
// alpha. A mode without any of the channel bits counts as colour.
QImage vtfQImageFromImage(const QByteArray &rgba, int width, int height, int mode,
                          bool checkerboard);
