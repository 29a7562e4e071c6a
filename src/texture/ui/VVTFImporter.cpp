#include "VVTFImporter.h"

#include "CFileVTF.h"
#include "VTFMagick.h"
#include "VTFQImage.h"
#include "VVTFTexts.h"

#include <QImage>
#include <QImageReader>

#include <memory>

namespace {
// Moves the reader on to the image after the one last read. An animation's
// reader does that by itself with each read (and refuses to jump); a
// multi-page reader (TIFF, ICO) stays on its page until told.
bool reachNextImage(QImageReader &reader)
{
    return reader.supportsAnimation() || reader.jumpToNextImage();
}
} // namespace

void VVTFImporter::step(const char *label)
{
    if (onStep)
        onStep(label);
}

QByteArray VVTFImporter::targetPixels(const QImage &image, int width, int height, int filter) const
{
    if (image.width() == width && image.height() == height)
        return vtfImageFromQImage(image);
    Magick::Image resized = vtfMagickFromQImage(image);
    if (!vtfResizeMagick(resized, width, height, filter))
        return QByteArray();
    return vtfImageFromMagick(resized);
}

CFileVTF *VVTFImporter::import(QImageReader &reader, const VVTFImportSettings &settings)
{
    error.clear();
    dropped = 0;
    // Formats that cannot count their images still hold one.
    imageCount = qMax(1, reader.imageCount());
    QSize source = reader.size();
    QImage first;
    if (!source.isValid()) {
        if (!reader.read(&first)) {
            error = reader.errorString();
            return nullptr;
        }
        source = first.size();
    }

    const int width =
        VVTFRules::resizedSide(source.width(), settings.widthMode, settings.widthClamp);
    const int height =
        VVTFRules::resizedSide(source.height(), settings.heightMode, settings.heightClamp);
    auto document = std::make_unique<CFileVTF>(quint16(width), quint16(height));
    const int places = VVTFRules::applyImportLayout(*document, settings.layout, imageCount);
    dropped = imageCount - places;

    step(VVTFText::StepReading);
    const int top = document->mipmapCount() - 1;
    // Images without a place are not read at all.
    for (int i = 0; i < places; ++i) {
        QImage image;
        if (i == 0 && !first.isNull()) {
            image = first;
        } else if (i > 0 && !reachNextImage(reader)) {
            error = QString::fromLatin1(VVTFText::ImportImageUnreachable).arg(i);
            return nullptr;
        } else if (!reader.read(&image)) {
            error = reader.errorString();
            return nullptr;
        }
        const QByteArray pixels = targetPixels(image, width, height, settings.filter);
        if (pixels.isEmpty()) {
            error = QString::fromLatin1(VVTFText::ImportResizeFailed).arg(i);
            return nullptr;
        }
        const int frame = settings.layout == VVTFRules::ImportLayout::Frames ? i : 0;
        const int face = settings.layout == VVTFRules::ImportLayout::Faces ? i : 0;
        const int slice = settings.layout == VVTFRules::ImportLayout::Slices ? i : 0;
        document->setImage(pixels, width, height, top, frame, face, slice, false);
    }

    const int lastFrame = document->frameCount() - 1;
    const int lastFace = document->faceCount() - 1;
    const int lastSlice = document->sliceCount() - 1;
    if (settings.computeReflectivity) {
        step(VVTFText::StepReflectivity);
        float red = 0.0f;
        float green = 0.0f;
        float blue = 0.0f;
        document->computeReflectivity(red, green, blue, top, top, 0, 0, 0, 0, 0, 0);
        document->setReflectivity(red, green, blue);
    }
    // A thumbnail stands for one picture: textures of several faces or
    // slices get none.
    const bool thumbnail = lastFace == 0 && lastSlice == 0;
    if (settings.generateMipmaps) {
        step(VVTFText::StepMipmaps);
        document->generateMipmaps(top, 0, top, 0, lastFrame, 0, lastFace, 0, lastSlice,
                                  settings.filter);
        if (thumbnail)
            document->generateLowResImage();
    } else if (thumbnail) {
        step(VVTFText::StepThumbnail);
        document->generateLowResImage(top, 0, 0, 0);
    }
    if (settings.generateSpheremaps) {
        step(VVTFText::StepSpheremaps);
        document->generateSpheremaps(0, top, 0, lastFrame, 0, lastSlice);
    }
    step(VVTFText::StepFormatting);
    document->setHighResImageFormat(settings.format);
    return document.release();
}
