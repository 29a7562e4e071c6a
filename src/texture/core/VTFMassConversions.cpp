// The three conversions of a bulk run and how their outputs are written.

#include "VTFMassConverter.h"

#include "CFileVTF.h"
#include "CSaveFile.h"
#include "VTFErrors.h"
#include "VTFMagick.h"
#include "VTFMassSink.h"
#include "VTFQImage.h"
#include "VTFResizeRule.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>

namespace {
// The bits that follow from the format and the faces; a run never sets or
// clears them by hand.
constexpr quint32 DerivedFlags =
    VTFFlag::OneBitAlpha | VTFFlag::EightBitAlpha | VTFFlag::EnvironmentMap;
// Resources exist from this minor version on.
constexpr quint32 FirstResourceVersion = 3;

using Document = std::unique_ptr<CFileVTF>;

// The indices a level is exported with: all of them, or only `single`.
QVector<int> exported(bool all, int count, int single)
{
    QVector<int> indices;
    if (count <= 0)
        return indices;
    if (!all) {
        indices.append(single);
        return indices;
    }
    for (int i = 0; i < count; ++i)
        indices.append(i);
    return indices;
}
} // namespace

void VTFMassConverter::applyTextureFlags(CFileVTF &document, bool clear) const
{
    quint32 flags = document.flags() | (m_options.flagsToSet & ~DerivedFlags);
    if (clear)
        flags &= ~(m_options.flagsToClear & ~DerivedFlags);
    document.setFlags(flags);
}

std::unique_ptr<CFileVTF> VTFMassConverter::readTexture(QFile &source)
{
    QString reason;
    Document document(CFileVTF::fromDevice(&source, reason));
    source.close();
    // The reader's reason first (an image format the tools do not know,
    // say), as a failed write logs the writer's.
    if (!document) {
        if (m_sink)
            m_sink->log(reason);
        report(VTFMassText::UnableToRead, quotedSource(m_current));
    }
    return document;
}

void VTFMassConverter::textureToTexture(QFile &source, const QString &output)
{
    const Document document = readTexture(source);
    if (!document)
        return;
    if (m_options.setVersion)
        document->setMinorVersion(quint32(m_options.version));
    bool converted = true;
    if (m_options.setThumbnailFormat && document->lowResImageFormat() != IMAGE_FORMAT_NONE)
        converted = document->setLowResImageFormat(m_options.thumbnailFormat);
    if (converted && m_options.setImageFormat)
        converted = document->setHighResImageFormat(m_options.imageFormat);
    // Written unconverted, the file would claim a change it did not get.
    if (!converted) {
        report(VTFMassText::UnableToConvert, quotedSource(m_current));
        return;
    }
    applyTextureFlags(*document, true);
    if (document->minorVersion() >= FirstResourceVersion) {
        applyResource(*document, VTFResourceTag::LevelOfDetail, m_options.levelOfDetail,
                      levelOfDetailWord(m_options.levelOfDetailValues));
        applyResource(*document, VTFResourceTag::Ts0, m_options.textureSettings,
                      m_options.textureSettingsValue);
    }
    writeTexture(*document, output);
}

void VTFMassConverter::imageToTexture(QFile &source, const QString &output)
{
    QImageReader reader(&source);
    const QImage image = reader.read();
    source.close();
    if (image.isNull()) {
        report(VTFMassText::UnableToRead, quotedSource(m_current));
        return;
    }
    const int width = vtfResizedSide(image.width(), m_options.widthMethod, m_options.widthClamp);
    const int height =
        vtfResizedSide(image.height(), m_options.heightMethod, m_options.heightClamp);
    const int filter = m_options.resizeFilter + 1;
    QByteArray rgba;
    if (image.width() == width && image.height() == height) {
        rgba = vtfImageFromQImage(image);
    } else {
        Magick::Image resized = vtfMagickFromQImage(image);
        if (vtfResizeMagick(resized, width, height, filter))
            rgba = vtfImageFromMagick(resized);
    }

    const auto document = std::make_unique<CFileVTF>(quint16(width), quint16(height));
    const int top = document->mipmapCount() - 1;
    if (!document->setImage(rgba, width, height, top, 0, 0, 0, false)) {
        report(VTFMassText::UnableToConvert, quotedSource(m_current));
        return;
    }
    document->generateMipmaps(top, 0, top, 0, 0, 0, 0, 0, 0, filter);
    float red = 0, green = 0, blue = 0;
    document->computeReflectivity(red, green, blue, top, top, 0, 0, 0, 0, 0, 0);
    document->setReflectivity(red, green, blue);
    document->setLowResImageFormat(IMAGE_FORMAT_RGBA8888);
    document->generateLowResImage();
    if (!document->setLowResImageFormat(m_options.thumbnailFormat) ||
        !document->setHighResImageFormat(m_options.imageFormat)) {
        report(VTFMassText::UnableToConvert, quotedSource(m_current));
        return;
    }
    document->setMinorVersion(quint32(m_options.version));
    applyTextureFlags(*document, false);
    if (m_options.version >= int(FirstResourceVersion)) {
        if (m_options.levelOfDetail.enabled)
            document->addResource(VTFResourceTag::LevelOfDetail)->data =
                levelOfDetailWord(m_options.levelOfDetailValues);
        if (m_options.textureSettings.enabled)
            document->addResource(VTFResourceTag::Ts0)->data = m_options.textureSettingsValue;
    }
    writeTexture(*document, output);
}

void VTFMassConverter::textureToImages(QFile &source, const QString &relativePath,
                                       const QString &output)
{
    const Document document = readTexture(source);
    if (!document)
        return;
    const std::array<bool, 4> &all = m_options.exportAll;
    const bool split = isSplitExport();
    // Counts along the first image; the largest level is the last.
    const int mipmaps = document->mipmapCount();
    QVector<int> mips = exported(all[VTFMassOptions::Mipmaps], mipmaps, mipmaps - 1);
    std::reverse(mips.begin(), mips.end());
    const QVector<int> frames = exported(all[VTFMassOptions::Frames], document->frameCount(), 0);
    const QVector<int> faces = exported(all[VTFMassOptions::Faces], document->faceCount(), 0);
    const QVector<int> slices = exported(all[VTFMassOptions::Slices], document->sliceCount(), 0);
    const QString stem = m_target + QLatin1Char('/') + outputDirectory(relativePath) +
                         QFileInfo(relativePath).completeBaseName();
    const QString extension = QLatin1Char('.') + m_options.targetFormat.toLower();

    for (int mip : qAsConst(mips)) {
        for (int frame : frames) {
            for (int face : faces) {
                for (int slice : slices) {
                    if (!document->hasImage(mip, frame, face, slice))
                        continue;
                    if (!split) {
                        writeImage(*document, mip, frame, face, slice, output);
                        continue;
                    }
                    QString name = stem;
                    const int index[4] = {mip, frame, face, slice};
                    for (int level = 0; level < 4; ++level) {
                        if (all[size_t(level)])
                            name +=
                                m_options.separators[size_t(level)] + QString::number(index[level]);
                    }
                    name += extension;
                    if ((!m_options.overwrite && QFileInfo::exists(name)) ||
                        m_written.contains(name)) {
                        report(VTFMassText::DestinationExists, quotedTarget(name));
                        continue;
                    }
                    writeImage(*document, mip, frame, face, slice, name);
                }
            }
        }
    }
}

void VTFMassConverter::writeTexture(CFileVTF &document, const QString &output)
{
    const std::unique_ptr<CSaveFile> file = newOutput(output);
    if (!file->open(QIODevice::WriteOnly)) {
        reportSave(*file, VTFMassText::UnableToOpenTarget, output);
        return;
    }
    if (!document.write(static_cast<QIODevice *>(file.get()))) {
        file->cancelWriting();
        if (m_sink)
            m_sink->log(document.error());
        reportSave(*file, VTFMassText::UnableToWrite, output);
        return;
    }
    if (!file->commit())
        reportSave(*file, VTFMassText::UnableToWrite, output);
}

void VTFMassConverter::writeImage(const CFileVTF &document, int mip, int frame, int face, int slice,
                                  const QString &output)
{
    const std::unique_ptr<CSaveFile> file = newOutput(output);
    if (!file->open(QIODevice::WriteOnly)) {
        reportSave(*file, VTFMassText::UnableToOpenTarget, output);
        return;
    }
    // Remembered whether it works or not: a second source must not try again.
    m_written.insert(output);
    QByteArray rgba;
    const int width = document.mipmapWidth(mip);
    const int height = document.mipmapHeight(mip);
    bool written = document.decodeImage(mip, frame, face, slice, rgba);
    if (written) {
        const QImage image = vtfQImageFromImage(rgba, width, height,
                                                VTF_CHANNEL_COLOR | VTF_CHANNEL_KEEP_ALPHA, false);
        QImageWriter writer(file.get(), QFileInfo(output).suffix().toLower().toLatin1());
        written = writer.write(image);
    }
    // A failed image leaves nothing behind, not even an empty file.
    if (!written)
        file->cancelWriting();
    if (!written || !file->commit())
        reportSave(*file, VTFMassText::UnableToWrite, output);
}
