// Decoding of every convertible format into RGBA8888.

#include "VTFConvert.h"
#include "VTFDxt.h"
#include "VTFHdr.h"

#include <QtEndian>

namespace {
// 5-, 6- and 4-bit channel values widened to 8 bits.
uchar expand5(quint32 v)
{
    return uchar(v * 8 + v / 4);
}
uchar expand6(quint32 v)
{
    return uchar(v * 4 + v / 16);
}

void put(uchar *out, uchar r, uchar g, uchar b, uchar a)
{
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = a;
}

// Calls decodePixel(in, out) for every pixel: `in` steps by the format's
// bytes per pixel, `out` by 4.
template <typename Decoder>
void eachPixel(const uchar *in, qint64 count, int stride, uchar *out, Decoder decodePixel)
{
    for (qint64 i = 0; i < count; ++i, in += stride, out += 4)
        decodePixel(in, out);
}

bool decodeUncompressed(const uchar *in, qint64 count, VTFImageFormat format, uchar *out)
{
    const int stride = vtfFormatBitsPerPixel(format) / 8;
    auto each = [&](auto decodePixel) { eachPixel(in, count, stride, out, decodePixel); };
    switch (format) {
    case IMAGE_FORMAT_RGBA8888:
    case IMAGE_FORMAT_UVWQ8888:
    case IMAGE_FORMAT_UVLX8888:
        each([](const uchar *p, uchar *o) { put(o, p[0], p[1], p[2], p[3]); });
        return true;
    case IMAGE_FORMAT_ABGR8888:
        each([](const uchar *p, uchar *o) { put(o, p[3], p[2], p[1], p[0]); });
        return true;
    case IMAGE_FORMAT_ARGB8888:
        // Stored G, B, A, R: files rely on this order.
        each([](const uchar *p, uchar *o) { put(o, p[3], p[0], p[1], p[2]); });
        return true;
    case IMAGE_FORMAT_BGRA8888:
        each([](const uchar *p, uchar *o) { put(o, p[2], p[1], p[0], p[3]); });
        return true;
    case IMAGE_FORMAT_BGRX8888:
        // X is padding (real files hold 0 there): the engine draws it opaque.
        each([](const uchar *p, uchar *o) { put(o, p[2], p[1], p[0], 255); });
        return true;
    case IMAGE_FORMAT_RGB888:
        each([](const uchar *p, uchar *o) { put(o, p[0], p[1], p[2], 255); });
        return true;
    case IMAGE_FORMAT_BGR888:
        each([](const uchar *p, uchar *o) { put(o, p[2], p[1], p[0], 255); });
        return true;
    case IMAGE_FORMAT_RGB888_BLUESCREEN:
    case IMAGE_FORMAT_BGR888_BLUESCREEN: {
        const bool bgr = format == IMAGE_FORMAT_BGR888_BLUESCREEN;
        each([bgr](const uchar *p, uchar *o) {
            const uchar r = bgr ? p[2] : p[0];
            const uchar b = bgr ? p[0] : p[2];
            const bool key = r == 0 && p[1] == 0 && b == 255;
            put(o, r, p[1], b, key ? 0 : 255);
        });
        return true;
    }
    case IMAGE_FORMAT_RGB565:
    case IMAGE_FORMAT_BGR565: {
        const bool bgr = format == IMAGE_FORMAT_BGR565;
        each([bgr](const uchar *p, uchar *o) {
            const quint32 v = qFromLittleEndian<quint16>(p);
            const uchar low = expand5(v & 0x1F);
            const uchar high = expand5(v >> 11);
            put(o, bgr ? high : low, expand6((v >> 5) & 0x3F), bgr ? low : high, 255);
        });
        return true;
    }
    case IMAGE_FORMAT_I8:
        each([](const uchar *p, uchar *o) { put(o, p[0], p[0], p[0], 255); });
        return true;
    case IMAGE_FORMAT_IA88:
        each([](const uchar *p, uchar *o) { put(o, p[0], p[0], p[0], p[1]); });
        return true;
    case IMAGE_FORMAT_A8:
        each([](const uchar *p, uchar *o) { put(o, 255, 255, 255, p[0]); });
        return true;
    case IMAGE_FORMAT_UV88:
        each([](const uchar *p, uchar *o) { put(o, p[0], p[1], 0, 255); });
        return true;
    case IMAGE_FORMAT_BGRX5551:
    case IMAGE_FORMAT_BGRA5551: {
        // Bit 15 of the X variant is padding: opaque whatever it holds.
        const bool opaque = format == IMAGE_FORMAT_BGRX5551;
        each([opaque](const uchar *p, uchar *o) {
            const quint32 v = qFromLittleEndian<quint16>(p);
            put(o, expand5((v >> 10) & 0x1F), expand5((v >> 5) & 0x1F), expand5(v & 0x1F),
                (opaque || (v & 0x8000)) ? 255 : 0);
        });
        return true;
    }
    case IMAGE_FORMAT_BGRA4444:
        each([](const uchar *p, uchar *o) {
            put(o, uchar((p[1] & 0x0F) * 17), uchar((p[0] >> 4) * 17), uchar((p[0] & 0x0F) * 17),
                uchar((p[1] >> 4) * 17));
        });
        return true;
    case IMAGE_FORMAT_RGBA16161616:
        each([](const uchar *p, uchar *o) {
            put(o, uchar(qFromLittleEndian<quint16>(p) / 257),
                uchar(qFromLittleEndian<quint16>(p + 2) / 257),
                uchar(qFromLittleEndian<quint16>(p + 4) / 257),
                uchar(qFromLittleEndian<quint16>(p + 6) / 257));
        });
        return true;
    default:
        return false;
    }
}
} // namespace

bool vtfConvertToRGBA8888(const QByteArray &source, quint16 width, quint16 height,
                          VTFImageFormat format, QByteArray &target, float key, float shift,
                          float gamma, float averageLuminance)
{
    if (quint64(source.size()) != vtfComputeImageSize(width, height, format))
        return false;
    const bool empty = width == 0 || height == 0 || format == IMAGE_FORMAT_NONE;
    if (!empty && !vtfFormatIsConvertible(format))
        return false;
    QByteArray decoded;
    if (!vtfAllocateImage(decoded, quint64(width) * 4 * height))
        return false;
    if (!empty) {
        const auto *in = reinterpret_cast<const uchar *>(source.constData());
        auto *out = reinterpret_cast<uchar *>(decoded.data());
        const qint64 count = qint64(width) * height;
        if (vtfFormatIsCompressed(format))
            VTFDxt::decode(in, width, height, format, out);
        else if (format == IMAGE_FORMAT_RGBA16161616F)
            VTFHdr::toneMap(in, count, out, key, shift, gamma, averageLuminance);
        else
            decodeUncompressed(in, count, format, out);
    }
    target.swap(decoded);
    return true;
}
