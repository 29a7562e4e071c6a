#include "VTFSpheremap.h"

#include "VTFImageTools.h"

#include <QRandomGenerator>

#include <array>
#include <cmath>

namespace {
constexpr int CubeFaces = 6;
constexpr int SamplesPerPixel = 4;

struct Vec
{
    double x, y, z;
};

double dot(const Vec &a, const Vec &b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Each face's horizontal axis A, vertical axis B, outward normal N and the
// corner Q its texel (0, 0) lies at, on the unit cube around the origin.
struct FaceFrame
{
    Vec a, b, n, q;
};

const std::array<FaceFrame, CubeFaces> &faceFrames()
{
    static const std::array<FaceFrame, CubeFaces> frames{{
        {{0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, {-0.5, -0.5, 0.5}},
        {{1, 0, 0}, {0, 1, 0}, {0, 0, -1}, {-0.5, -0.5, -0.5}},
        {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {0.5, -0.5, -0.5}},
        {{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.5, -0.5, 0.5}},
        {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {-0.5, 0.5, -0.5}},
        {{1, 0, 0}, {0, 0, -1}, {0, -1, 0}, {-0.5, -0.5, 0.5}},
    }};
    return frames;
}

// The face a direction leaves the cube through: its largest component.
int faceFor(const Vec &r)
{
    const double ax = std::fabs(r.x), ay = std::fabs(r.y), az = std::fabs(r.z);
    if (ax >= ay && ax >= az)
        return r.x > 0 ? 2 : 0;
    if (ay >= ax && ay >= az)
        return r.y > 0 ? 4 : 5;
    return r.z > 0 ? 3 : 1;
}

// A texel index 0..count - 1 from a scaled position along a face; a
// direction on an edge would land one past it.
int texelIndex(double scaled, int count)
{
    const double index = std::trunc(scaled);
    if (!(index >= 0))
        return 0;
    return index >= count ? count - 1 : int(index);
}
} // namespace

QByteArray vtfSpheremap(const QVector<QByteArray> &faces, int width, int height, quint32 seed)
{
    const qint64 bytes = qint64(width) * height * 4;
    if (width < 1 || height < 1 || faces.size() < CubeFaces)
        return QByteArray();
    // The faces as a viewer inside the cube sees them.
    QVector<QByteArray> cube = faces.mid(0, CubeFaces);
    for (int face = 0; face < CubeFaces; ++face) {
        if (cube[face].size() < bytes)
            return QByteArray();
    }
    for (int face : {0, 2, 3})
        vtfMirrorHorizontal(cube[face], width, height);
    for (int face : {4, 5})
        vtfFlipVertical(cube[face], width, height);

    double background[3] = {0, 0, 0};
    const auto *down = reinterpret_cast<const uchar *>(cube[5].constData());
    for (qint64 i = 0; i < qint64(width) * height; ++i)
        for (int c = 0; c < 3; ++c)
            background[c] += down[4 * i + c];
    for (double &channel : background)
        channel = channel / (double(width) * height) / 255.0;

    QRandomGenerator random(seed);
    QByteArray out(int(bytes), Qt::Uninitialized);
    auto *target = reinterpret_cast<uchar *>(out.data());
    const Vec eye{0, 0, 1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum[3] = {0, 0, 0};
            for (int sample = 0; sample < SamplesPerPixel; ++sample) {
                const double u = (x + random.generateDouble()) / width - 0.5;
                const double v = (y + random.generateDouble()) / height - 0.5;
                const double r2 = u * u + v * v;
                if (r2 >= 0.25) {
                    for (int c = 0; c < 3; ++c)
                        sum[c] += background[c];
                    continue;
                }
                const Vec n{2 * u, 2 * v, 2 * std::sqrt(0.25 - r2)};
                const double ne = 2 * dot(n, eye);
                const Vec r{ne * n.x - eye.x, ne * n.y - eye.y, ne * n.z - eye.z};
                const int face = faceFor(r);
                const FaceFrame &frame = faceFrames()[size_t(face)];
                // r . N is the largest component of a unit vector: at least
                // 1 / sqrt(3), never 0.
                const double t = dot(frame.q, frame.n) / dot(r, frame.n);
                const Vec d{r.x * t - frame.q.x, r.y * t - frame.q.y, r.z * t - frame.q.z};
                // Both axes scale by the face's width (faces are square).
                const int column = texelIndex(dot(d, frame.a) * width, width);
                const int row = texelIndex(dot(d, frame.b) * width, height);
                const auto *texel = reinterpret_cast<const uchar *>(cube[face].constData()) +
                                    (qint64(row) * width + column) * 4;
                for (int c = 0; c < 3; ++c)
                    sum[c] += texel[c] / 255.0;
            }
            uchar *pixel = target + (qint64(y) * width + x) * 4;
            for (int c = 0; c < 3; ++c)
                pixel[c] = uchar(int(sum[c] * 255.0 * 0.25));
            pixel[3] = 255;
        }
    }
    return out;
}
