// Encoding of RGBA8888 into every convertible format.

#include "VTFConvert.h"
#include "VTFDxt.h"

#include <QtEndian>

#include <cmath>

namespace {
// Calls encodePixel(in, out) for every pixel: `in` steps by 4, `out` by the
// format's bytes per pixel.
template <typename Encoder>
void eachPixel(const uchar *in, qint64 count, int stride, uchar *out, Encoder encodePixel)
{
    for (qint64 i = 0; i < count; ++i, in += 4, out += stride)
        encodePixel(in, out);
}

void put16(uchar *out, quint32 value)
{
    qToLittleEndian<quint16>(quint16(value), out);
}

uchar intensity(const uchar *p)
{
    const double r = p[0];
    const double g = p[1];
    const double b = p[2];
    const int value = int(std::sqrt(0.241 * r * r + 0.691 * g * g + 0.068 * b * b) + 0.5);
    return uchar(qMin(value, 255));
}

bool encodeUncompressed(const uchar *in, qint64 count, VTFImageFormat format, uchar *out)
{
    const int stride = vtfFormatBitsPerPixel(format) / 8;
    auto each = [&](auto encodePixel) { eachPixel(in, count, stride, out, encodePixel); };
    auto bytes = [&](int i0, int i1, int i2, int i3) {
        each([i0, i1, i2, i3](const uchar *p, uchar *o) {
            o[0] = p[i0];
            o[1] = p[i1];
            o[2] = p[i2];
            o[3] = p[i3];
        });
    };
    switch (format) {
    case IMAGE_FORMAT_RGBA8888:
    case IMAGE_FORMAT_UVWQ8888:
    case IMAGE_FORMAT_UVLX8888:
        bytes(0, 1, 2, 3);
        return true;
    case IMAGE_FORMAT_ABGR8888:
        bytes(3, 2, 1, 0);
        return true;
    case IMAGE_FORMAT_ARGB8888:
        bytes(1, 2, 3, 0);
        return true;
    case IMAGE_FORMAT_BGRA8888:
        bytes(2, 1, 0, 3);
        return true;
    case IMAGE_FORMAT_BGRX8888:
        // X written 255 so that any reader shows the texture opaque.
        each([](const uchar *p, uchar *o) {
            o[0] = p[2];
            o[1] = p[1];
            o[2] = p[0];
            o[3] = 255;
        });
        return true;
    case IMAGE_FORMAT_RGB888:
    case IMAGE_FORMAT_BGR888:
    case IMAGE_FORMAT_RGB888_BLUESCREEN:
    case IMAGE_FORMAT_BGR888_BLUESCREEN: {
        const bool bgr = format == IMAGE_FORMAT_BGR888 || format == IMAGE_FORMAT_BGR888_BLUESCREEN;
        const bool bluescreen =
            format == IMAGE_FORMAT_RGB888_BLUESCREEN || format == IMAGE_FORMAT_BGR888_BLUESCREEN;
        each([bgr, bluescreen](const uchar *p, uchar *o) {
            static const uchar blue[3] = {0, 0, 255};
            const uchar *c = bluescreen && p[3] == 0 ? blue : p;
            o[0] = bgr ? c[2] : c[0];
            o[1] = c[1];
            o[2] = bgr ? c[0] : c[2];
        });
        return true;
    }
    case IMAGE_FORMAT_RGB565:
        each([](const uchar *p, uchar *o) {
            put16(o, (p[2] >> 3) << 11 | (p[1] >> 2) << 5 | p[0] >> 3);
        });
        return true;
    case IMAGE_FORMAT_BGR565:
        each([](const uchar *p, uchar *o) {
            put16(o, (p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3);
        });
        return true;
    case IMAGE_FORMAT_BGRX5551:
    case IMAGE_FORMAT_BGRA5551: {
        // The X variant always sets bit 15, as other readers take it for alpha.
        const bool opaque = format == IMAGE_FORMAT_BGRX5551;
        each([opaque](const uchar *p, uchar *o) {
            put16(o, (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3 |
                         (opaque || p[3] >= 128 ? 0x8000 : 0));
        });
        return true;
    }
    case IMAGE_FORMAT_BGRA4444:
        each([](const uchar *p, uchar *o) {
            o[0] = uchar((p[1] / 17) << 4 | p[2] / 17);
            o[1] = uchar((p[3] / 17) << 4 | p[0] / 17);
        });
        return true;
    case IMAGE_FORMAT_I8:
        each([](const uchar *p, uchar *o) { o[0] = intensity(p); });
        return true;
    case IMAGE_FORMAT_IA88:
        each([](const uchar *p, uchar *o) {
            o[0] = intensity(p);
            o[1] = p[3];
        });
        return true;
    case IMAGE_FORMAT_A8:
        each([](const uchar *p, uchar *o) { o[0] = p[3]; });
        return true;
    case IMAGE_FORMAT_UV88:
        each([](const uchar *p, uchar *o) {
            o[0] = p[0];
            o[1] = p[1];
        });
        return true;
    case IMAGE_FORMAT_RGBA16161616:
    case IMAGE_FORMAT_RGBA16161616F:
        each([](const uchar *p, uchar *o) {
            for (int c = 0; c < 4; ++c)
                put16(o + 2 * c, p[c] * 257u);
        });
        return true;
    default:
        return false;
    }
}
} // namespace

bool vtfConvertFromRGBA8888(const QByteArray &source, quint16 width, quint16 height,
                            VTFImageFormat format, QByteArray &target)
{
    if (format != IMAGE_FORMAT_NONE && quint64(source.size()) != quint64(width) * 4 * height)
        return false;
    // Encoded aside: the source may be the target itself.
    QByteArray encoded;
    if (!vtfAllocateImage(encoded, vtfComputeImageSize(width, height, format)))
        return false;
    const bool empty = width == 0 || height == 0 || format == IMAGE_FORMAT_NONE;
    if (!empty && vtfFormatIsConvertible(format)) {
        const auto *in = reinterpret_cast<const uchar *>(source.constData());
        auto *out = reinterpret_cast<uchar *>(encoded.data());
        if (vtfFormatIsCompressed(format))
            VTFDxt::encode(in, width, height, format, out);
        else
            encodeUncompressed(in, qint64(width) * height, format, out);
    }
    target.swap(encoded);
    return empty || vtfFormatIsConvertible(format);
}
