// Bulk texture conversion against bare DXT compression: a folder of generated
// PNGs is converted to DXT5 textures with mipmaps by the bulk converter
// (goal: at most 1.2 times the baseline), and the same images, with the same
// mip levels made beforehand and untimed, are compressed by libsquish alone
// at the same settings (iterative cluster fit, colour weighted by alpha, the
// perceptual metric). libsquish spreads its work over OpenMP threads on both
// sides; OMP_NUM_THREADS limits them.
//   texture_bench [--images 64] [--size 1024] [--rounds 1] [--dir /tmp]
#include "CFileVTF.h"
#include "VTFMassConverter.h"

#include <Magick++.h>
#include <squish.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
int argument(const QStringList &arguments, const char *name, int fallback)
{
    const int at = arguments.indexOf(QString::fromLatin1(name));
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : fallback;
}

// Smooth gradients under some noise and a soft alpha ramp: closer to a real
// texture than pure noise, which would flatter the converter's overhead.
QImage generated(int side, quint32 seed)
{
    QImage image(side, side, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const int noise = int(random.bounded(24));
            line[x] = qRgba((x * 255 / side + noise) & 255, (y * 255 / side + noise) & 255,
                            ((x + y) * 127 / side + int(seed) * 31) & 255, 128 + (x ^ y) % 128);
        }
    }
    return image;
}

// Seconds spent in libsquish alone for every level of the image. The levels
// are the ones the converter makes (Mitchell filter from the full-size image),
// made beforehand and untimed, so both sides compress the same pixels.
double squishOnly(const QString &path)
{
    float metric[3] = {0.2126f, 0.7152f, 0.0722f};
    const int flags =
        squish::kDxt5 | squish::kColourIterativeClusterFit | squish::kWeightColourByAlpha;
    double seconds = 0;
    {
        const QImage image = QImage(path).convertToFormat(QImage::Format_RGBA8888);
        CFileVTF levels(quint16(image.width()), quint16(image.height()));
        const int top = levels.mipmapCount() - 1;
        levels.setImage(
            QByteArray(reinterpret_cast<const char *>(image.constBits()), int(image.sizeInBytes())),
            image.width(), image.height(), top, 0, 0, 0, false);
        levels.generateMipmaps(top, 0, top, 0, 0, 0, 0, 0, 0, 12);
        for (int level = top; level >= 0; --level) {
            const QByteArray rgba = levels.image(level, 0, 0, 0);
            const int width = levels.mipmapWidth(level);
            const int height = levels.mipmapHeight(level);
            QByteArray blocks(squish::GetStorageRequirements(width, height, flags),
                              Qt::Uninitialized);
            QElapsedTimer timer;
            timer.start();
            squish::CompressImage(reinterpret_cast<const uchar *>(rgba.constData()), width, height,
                                  blocks.data(), flags, metric);
            seconds += double(timer.nsecsElapsed()) / 1e9;
        }
    }
    return seconds;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int images = qMax(1, argument(arguments, "--images", 64));
    const int side = qMax(4, argument(arguments, "--size", 1024));
    const int rounds = qMax(1, argument(arguments, "--rounds", 1));
    const int at = arguments.indexOf(QStringLiteral("--dir"));
    QTemporaryDir work(
        (at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QDir::tempPath()) +
        QStringLiteral("/texture_bench-XXXXXX"));
    if (!work.isValid() || !QDir().mkpath(work.filePath(QStringLiteral("in")))) {
        std::fprintf(stderr, "cannot make a work folder\n");
        return 1;
    }
    QStringList paths;
    for (int i = 0; i < images; ++i) {
        paths << work.filePath(QStringLiteral("in/image_%1.png").arg(i));
        if (!generated(side, quint32(i)).save(paths.last())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(paths.last()));
            return 1;
        }
    }

    VTFMassOptions options;
    options.sourceDirectory = work.filePath(QStringLiteral("in"));
    options.targetDirectory = work.filePath(QStringLiteral("out"));
    options.imageFormat = IMAGE_FORMAT_DXT5;
    options.overwrite = true;
    QVector<double> project;
    QVector<double> baseline;
    for (int round = 0; round < rounds; ++round) {
        // File by file, each conversion followed by the baseline on the same
        // image, so that a busy moment of the machine falls on both sides.
        QDir(options.targetDirectory).removeRecursively();
        VTFMassConverter converter(options, nullptr);
        if (!converter.prepare())
            return 1;
        double converting = 0;
        double compressing = 0;
        for (const QString &path : qAsConst(paths)) {
            QElapsedTimer timer;
            timer.start();
            converter.convertFile(path);
            converting += double(timer.nsecsElapsed()) / 1e9;
            compressing += squishOnly(path);
        }
        const int written = QDir(options.targetDirectory).entryList({"*.vtf"}, QDir::Files).size();
        if (written != images) {
            std::fprintf(stderr, "the converter wrote %d of %d textures\n", written, images);
            return 1;
        }
        project << converting;
        baseline << compressing;
        std::printf("round %d: converter %.2f s, libsquish alone %.2f s\n", round + 1, converting,
                    compressing);
        std::fflush(stdout);
    }
    const double a = median(project);
    const double b = median(baseline);
    std::printf("%d PNGs of %d x %d to DXT5 with mipmaps: converter %.2f s | libsquish alone "
                "%.2f s | ratio %.3f (goal <= 1.2; %d rounds, medians)\n",
                images, side, side, a, b, a / b, rounds);
    return 0;
}
