#include "VTFQImage.h"

namespace {
// The checkerboard grey under pixel (x, y): 153 where the cell column and row
// have the same parity, 102 otherwise.
int checkerGrey(int x, int y)
{
    return ((x / 8) % 2) == ((y / 8) % 2) ? 153 : 102;
}

uchar blend(uchar channel, int grey, float alpha)
{
    return uchar(float(channel) * alpha + float(grey) * (1.0f - alpha));
}

// The one channel a grey mode shows (0..3), or -1 for colour.
int greyChannel(int mode)
{
    if (mode & VTF_CHANNEL_COLOR)
        return -1;
    if (mode & VTF_CHANNEL_RED)
        return 0;
    if (mode & VTF_CHANNEL_GREEN)
        return 1;
    if (mode & VTF_CHANNEL_BLUE)
        return 2;
    if (mode & VTF_CHANNEL_ALPHA)
        return 3;
    return -1;
}
} // namespace

QByteArray vtfImageFromQImage(const QImage &image)
{
    if (image.isNull())
        return QByteArray();
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    QByteArray rgba(width * height * 4, Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(rgba.data());
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x, out += 4) {
            const QRgb pixel = line[x];
            out[0] = uchar(qRed(pixel));
            out[1] = uchar(qGreen(pixel));
            out[2] = uchar(qBlue(pixel));
            out[3] = uchar(qAlpha(pixel));
        }
    }
    return rgba;
}

QImage vtfQImageFromImage(const QByteArray &rgba, int width, int height, int mode,
                          bool checkerboard)
{
    if (width <= 0 || height <= 0 || qint64(width) * height * 4 > qint64(rgba.size()))
        return QImage();
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const int grey = greyChannel(mode);
    const bool keepAlpha = grey < 0 && (mode & VTF_CHANNEL_KEEP_ALPHA);
    const auto *in = reinterpret_cast<const uchar *>(rgba.constData());
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x, in += 4) {
            if (grey >= 0) {
                const uchar v = in[grey];
                line[x] = qRgb(v, v, v);
            } else if (!keepAlpha) {
                line[x] = qRgb(in[0], in[1], in[2]);
            } else if (checkerboard) {
                const float a = float(in[3]) / 255.0f;
                const int cell = checkerGrey(x, y);
                line[x] = qRgb(blend(in[0], cell, a), blend(in[1], cell, a), blend(in[2], cell, a));
            } else {
                line[x] = qRgba(in[0], in[1], in[2], in[3]);
            }
        }
    }
    return image;
}
