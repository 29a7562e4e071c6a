#include "VTFMagick.h"

#include <functional>

namespace {
// An image of the size with matte off whose pixels `fill` writes in one bulk
// access.
Magick::Image makeImage(int width, int height,
                        const std::function<void(Magick::PixelPacket *)> &fill)
{
    try {
        Magick::Image image(Magick::Geometry(size_t(width), size_t(height)),
                            Magick::Color(0, 0, 0));
        image.matte(false);
        image.modifyImage();
        Magick::PixelPacket *pixels = image.getPixels(0, 0, size_t(width), size_t(height));
        if (!pixels)
            return Magick::Image();
        fill(pixels);
        image.syncPixels();
        return image;
    } catch (const Magick::Exception &) {
        return Magick::Image();
    }
}

Magick::Quantum widen(uchar value)
{
    return Magick::Quantum(value * 257u);
}

uchar narrow(Magick::Quantum value)
{
    return uchar(quint32(value) >> 8);
}
} // namespace

Magick::Image vtfMagickFromImage(const QByteArray &rgba, int width, int height)
{
    if (width <= 0 || height <= 0 || qint64(width) * height * 4 > qint64(rgba.size()))
        return Magick::Image();
    const auto *in = reinterpret_cast<const uchar *>(rgba.constData());
    const qint64 count = qint64(width) * height;
    return makeImage(width, height, [in, count](Magick::PixelPacket *pixels) {
        for (qint64 i = 0; i < count; ++i) {
            const uchar *p = in + 4 * i;
            pixels[i].red = widen(p[0]);
            pixels[i].green = widen(p[1]);
            pixels[i].blue = widen(p[2]);
            pixels[i].opacity = widen(p[3]);
        }
    });
}

QByteArray vtfImageFromMagick(const Magick::Image &image)
{
    try {
        const qint64 width = qint64(image.columns());
        const qint64 height = qint64(image.rows());
        if (width <= 0 || height <= 0 || width * height * 4 > qint64(0x7FFFFFFF) - 64)
            return QByteArray();
        const Magick::PixelPacket *pixels =
            image.getConstPixels(0, 0, size_t(width), size_t(height));
        if (!pixels)
            return QByteArray();
        QByteArray rgba(int(width * height * 4), Qt::Uninitialized);
        auto *out = reinterpret_cast<uchar *>(rgba.data());
        for (qint64 i = 0; i < width * height; ++i, out += 4) {
            out[0] = narrow(pixels[i].red);
            out[1] = narrow(pixels[i].green);
            out[2] = narrow(pixels[i].blue);
            out[3] = narrow(pixels[i].opacity);
        }
        return rgba;
    } catch (const Magick::Exception &) {
        return QByteArray();
    }
}

Magick::Image vtfMagickFromQImage(const QImage &image)
{
    if (image.isNull())
        return Magick::Image();
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    return makeImage(width, argb.height(), [&argb, width](Magick::PixelPacket *pixels) {
        for (int y = 0; y < argb.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            Magick::PixelPacket *row = pixels + qint64(y) * width;
            for (int x = 0; x < width; ++x) {
                row[x].red = widen(uchar(qRed(line[x])));
                row[x].green = widen(uchar(qGreen(line[x])));
                row[x].blue = widen(uchar(qBlue(line[x])));
                row[x].opacity = widen(uchar(qAlpha(line[x])));
            }
        }
    });
}

bool vtfResizeMagick(Magick::Image &image, int width, int height, int filter)
{
    if (width <= 0 || height <= 0 || !image.isValid())
        return false;
    try {
        image.matte(false);
        if (filter >= 1 && filter <= 29)
            image.filterType(Magick::FilterTypes(filter));
        Magick::Geometry size{size_t(width), size_t(height)};
        size.aspect(true);
        image.resize(size);
        return image.columns() == size_t(width) && image.rows() == size_t(height);
    } catch (const Magick::Exception &) {
        return false;
    }
}
