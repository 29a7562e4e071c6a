#pragma once

#include "VTFFormat.h"

#include <QByteArray>

// The fixed tone-map parameters used where the document's own are not wanted
// (format changes, thumbnails, image operations).
namespace VTFHdrDefault {
inline constexpr float Key = 1.25f;
inline constexpr float Shift = 0.4f;
inline constexpr float Gamma = 4.0f;
} // namespace VTFHdrDefault

// Decodes one image of `format` into RGBA8888 (width x 4 x height bytes,
// rows top to bottom).
//
// False, with `target` untouched, when the source holds other than
// vtfComputeImageSize(width, height, format) bytes, for P8 and invalid formats,
// and when the target cannot be allocated. A side of 0 or the format NONE
// succeeds with a zero-filled target of width x 4 x height bytes.
//
// key, shift, gamma and averageLuminance are used only by RGBA16161616F (see
// VTFHdr.h); an average luminance of 0 is computed from the image.
bool vtfConvertToRGBA8888(const QByteArray &source, quint16 width, quint16 height,
                          VTFImageFormat format, QByteArray &target, float key = VTFHdrDefault::Key,
                          float shift = VTFHdrDefault::Shift, float gamma = VTFHdrDefault::Gamma,
                          float averageLuminance = 0.0f);

// Encodes width x 4 x height RGBA8888 bytes into `format`.
//
// False, with `target` untouched, when the source holds other than
// width x 4 x height bytes (not checked for NONE) or the target cannot be
// allocated. Otherwise the target is sized to vtfComputeImageSize first; a
// side of 0 or NONE then succeeds at once, and P8 or an invalid format fails
// with the target already sized.
bool vtfConvertFromRGBA8888(const QByteArray &source, quint16 width, quint16 height,
                            VTFImageFormat format, QByteArray &target);
