#include "VTFImageTools.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {
bool fits(const QByteArray &rgba, int width, int height)
{
    return width > 0 && height > 0 && qint64(width) * height * 4 <= qint64(rgba.size());
}

// Built once for the life of the process.
const std::array<float, 256> &linearTable()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = std::pow(float(i) / 255.0f, 2.2f);
        return t;
    }();
    return table;
}

// Rebuilt only when the exponent changes.
struct GammaTable
{
    QMutex mutex;
    float exponent = 0.0f;
    bool built = false;
    std::array<uchar, 256> values{};
};

GammaTable &gammaTable()
{
    static GammaTable table;
    return table;
}

void buildGamma(GammaTable &table, float exponent)
{
    for (int i = 0; i < 256; ++i) {
        double v = std::pow(double(i) / 255.0, double(exponent)) * 255.0;
        if (!(v >= 0.0))
            v = 0.0;
        table.values[size_t(i)] = uchar(v > 255.0 ? 255 : int(v));
    }
    table.exponent = exponent;
    table.built = true;
}
} // namespace

void vtfComputeImageReflectivity(const QByteArray &rgba, int width, int height, float &red,
                                 float &green, float &blue)
{
    red = green = blue = 0.0f;
    if (!fits(rgba, width, height))
        return;
    const std::array<float, 256> &t = linearTable();
    const auto *p = reinterpret_cast<const uchar *>(rgba.constData());
    double sum[3] = {0.0, 0.0, 0.0};
    const double perPixel = 1.0 / width;
    for (int y = 0; y < height; ++y) {
        double row[3] = {0.0, 0.0, 0.0};
        for (int x = 0; x < width; ++x, p += 4) {
            for (int c = 0; c < 3; ++c)
                row[c] += t[p[c]];
        }
        for (int c = 0; c < 3; ++c)
            sum[c] += row[c] * perPixel;
    }
    const double perRow = 1.0 / height;
    red = float(sum[0] * perRow);
    green = float(sum[1] * perRow);
    blue = float(sum[2] * perRow);
}

void vtfApplyGamma(QByteArray &rgba, int width, int height, float gamma)
{
    if (gamma == 1.0f || !fits(rgba, width, height))
        return;
    GammaTable &table = gammaTable();
    QMutexLocker lock(&table.mutex);
    const float exponent = 1.0f / gamma;
    if (!table.built || table.exponent != exponent)
        buildGamma(table, exponent);
    auto *p = reinterpret_cast<uchar *>(rgba.data());
    const qint64 count = qint64(width) * height;
    for (qint64 i = 0; i < count; ++i, p += 4) {
        p[0] = table.values[p[0]];
        p[1] = table.values[p[1]];
        p[2] = table.values[p[2]];
    }
}

void vtfFlipVertical(QByteArray &rgba, int width, int height)
{
    if (!fits(rgba, width, height))
        return;
    char *p = rgba.data();
    const qint64 rowBytes = qint64(width) * 4;
    for (int y = 0; y < height / 2; ++y) {
        char *top = p + y * rowBytes;
        std::swap_ranges(top, top + rowBytes, p + (height - 1 - y) * rowBytes);
    }
}

void vtfMirrorHorizontal(QByteArray &rgba, int width, int height)
{
    if (!fits(rgba, width, height))
        return;
    char *p = rgba.data();
    for (int y = 0; y < height; ++y) {
        char *row = p + qint64(y) * width * 4;
        for (int x = 0; x < width / 2; ++x)
            std::swap_ranges(row + 4 * x, row + 4 * x + 4, row + 4 * (width - 1 - x));
    }
}
