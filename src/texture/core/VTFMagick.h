#pragma once

#include <Magick++.h>

#include <QByteArray>
#include <QImage>

// RGBA8888 buffers to and from Magick++ images (16-bit quanta), for resizing.
//
// The alpha byte goes raw (x 257) into the image's fourth, opacity channel and
// comes back from it unchanged. That only works while the image's matte flag
// is off: with matte on, ImageMagick reads the channel as opacity, so an opaque
// texture would resize to nothing and colours would be weighted by alpha.
// Every image made here has matte off, and the resize below keeps it off.
//
// Magick::InitializeMagick must have run (the program's start-up does it, and
// so does every test main that uses these).

// An image of width x height; each 8-bit channel becomes quantum value x 257.
// An invalid (empty) image when a side is below 1 or the buffer is smaller
// than its sides say.
Magick::Image vtfMagickFromImage(const QByteArray &rgba, int width, int height);

// Width x height x 4 bytes: each channel the high byte of its 16-bit quantum,
// the fourth channel giving alpha. Exactly inverts vtfMagickFromImage for
// unchanged pixels. Empty for an invalid image.
QByteArray vtfImageFromMagick(const Magick::Image &image);

// An image of a toolkit image: each colour and the alpha channel x 257, the
// alpha raw in the fourth channel as above. Invalid for a null image.
Magick::Image vtfMagickFromQImage(const QImage &image);

// Resizes to exactly width x height (the aspect ratio is not kept) with the
// Magick++ filter of that number (1..29, see vtfFilterName; other numbers
// leave the image's filter as it is). False when a side is below 1 or
// ImageMagick fails.
bool vtfResizeMagick(Magick::Image &image, int width, int height, int filter);
