#include "VTFHdr.h"

#include <QtEndian>

#include <cmath>

namespace {
quint16 channel(const uchar *pixel, int index)
{
    return qFromLittleEndian<quint16>(pixel + 2 * index);
}

// w = v^g x 65535, narrowed to its high byte; out of range and NaN clamp.
uchar narrow(float value, float gamma)
{
    const double w = std::pow(double(value), double(gamma)) * 65535.0;
    if (std::isnan(w) || w < 0.0)
        return 0;
    if (w > 65535.0)
        return 255;
    return uchar(quint32(w) >> 8);
}
} // namespace

namespace VTFHdr {

double averageLuminance(const uchar *pixels, qint64 count)
{
    if (count <= 0)
        return 0.0;
    double sum = 0.0;
    for (qint64 i = 0; i < count; ++i) {
        const uchar *p = pixels + 8 * i;
        const double y =
            0.299 * channel(p, 0) + 0.587 * channel(p, 1) + 0.114 * channel(p, 2) + 1e-10;
        sum += std::log(y);
    }
    return std::exp(sum / double(count));
}

void toneMap(const uchar *pixels, qint64 count, uchar *rgba, float key, float shift, float gamma,
             float average)
{
    float luminance = average;
    if (luminance == 0.0f)
        luminance = float(averageLuminance(pixels, count));
    for (qint64 i = 0; i < count; ++i) {
        const uchar *p = pixels + 8 * i;
        uchar *out = rgba + 4 * i;
        const float r = channel(p, 0);
        const float g = float(p[3]) * 257.0f;
        const float b = channel(p, 2);
        const float y = 0.299f * r + 0.587f * g + 0.114f * b;
        const float cb = 0.565f * (b - y);
        const float cr = 0.713f * (r - y);
        float factor = 0.0f;
        if (y != 0.0f) {
            const float l = key * y / luminance;
            factor = l / (1.0f + l) / y;
        }
        out[0] = narrow((y + 1.403f * cr) * factor + shift, gamma);
        out[1] = narrow((y - 0.344f * cb - 0.714f * cr) * factor + shift, gamma);
        out[2] = narrow((y + 1.77f * cb) * factor + shift, gamma);
        out[3] = p[7];
    }
}

} // namespace VTFHdr
