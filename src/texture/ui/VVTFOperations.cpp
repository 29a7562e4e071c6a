#include "VVTF.h"

#include "CFileVTF.h"
#include "CPrompt.h"
#include "CSaveFile.h"
#include "MainWindowDialogs.h"
#include "QWidgetDialog.h"
#include "VVTFEditRules.h"
#include "VVTFImageRangeWidget.h"
#include "VVTFTexts.h"
#include "functions.h"

#include <QComboBox>
#include <QFileInfo>
#include <QImageWriter>
#include <QInputDialog>
#include <QLineEdit>

// The commands that work on a range of images: image from image, export,
// spheremaps, gamma, reflectivity and mipmaps. Each asks for its range in a
// dialog, asks anything further only after Ok, then calls one document
// operation.

namespace {
using VVTFEditRules::ImageRange;

constexpr int FilterCount = 29;
constexpr int MitchellItem = 11;
constexpr int SpheremapFace = 6;
// The largest gamma the number box allows: the largest float.
constexpr double GammaMaximum = 3.4028234663852886e38;
constexpr int GammaDecimals = 6;
// Colour with alpha, not over a checkerboard: what an exported image holds.
constexpr int ExportChannels = VTF_CHANNEL_COLOR | VTF_CHANNEL_KEEP_ALPHA;

// The image at p as an export writes it, at its own level's size whatever the
// view shows; null where the texture holds no image there or it does not
// decode.
QImage exportedPicture(const CFileVTF &document, const VVTFEditRules::Position &p)
{
    QByteArray rgba;
    if (!document.decodeImage(p.mipmap, p.frame, p.face, p.slice, rgba))
        return QImage();
    return vtfQImageFromImage(rgba, document.mipmapWidth(p.mipmap), document.mipmapHeight(p.mipmap),
                              ExportChannels, false);
}
} // namespace

bool VVTF::askResampleFilter(int &filter)
{
    QStringList names;
    for (int number = 1; number <= FilterCount; ++number)
        names << vtfFilterName(number);
    bool ok = false;
    const QString answer = CPrompt::getItem(this, windowTitle(), tr("Resample Filter:"), names,
                                            MitchellItem, false, &ok);
    const int item = names.indexOf(answer);
    if (!ok || item < 0)
        return false;
    filter = item + 1;
    return true;
}

bool VVTF::askRange(VVTFImageRangeWidget *range, ImageRange &chosen)
{
    // The dialog takes the widget over; its bounds are read before it goes.
    QWidgetDialog dialog(range, this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    if (CPrompt::exec(&dialog) != QDialog::Accepted || range->mipmapStart() < 0)
        return false;
    chosen.mipStart = range->mipmapStart();
    chosen.mipEnd = range->mipmapEnd();
    chosen.frameStart = range->frameStart;
    chosen.frameEnd = range->frameEnd;
    chosen.faceStart = range->faceStart;
    chosen.faceEnd = range->faceEnd;
    chosen.sliceStart = range->sliceStart;
    chosen.sliceEnd = range->sliceEnd;
    return true;
}

VVTFImageRangeWidget *VVTF::rangeWidget(const VVTFRules::TreeSelection &selection,
                                        bool mipmapGeneration)
{
    const ImageRange r = VVTFEditRules::rangeFromSelection(selection, VVTFRules::counts(m_document),
                                                           mipmapGeneration);
    return new VVTFImageRangeWidget(m_document, quint8(r.mipStart), quint8(r.mipEnd),
                                    quint16(r.frameStart), quint16(r.frameEnd), quint8(r.faceStart),
                                    quint8(r.faceEnd), quint16(r.sliceStart), quint16(r.sliceEnd));
}

// The Edit menu's forms start from the whole texture, and leave the tree
// selection so.

void VVTF::vtfMenuGenerateSpheremaps()
{
    treeSelection = VVTFRules::TreeSelection();
    vtfGenerateSpheremaps();
}

void VVTF::vtfMenuCorrectGamma()
{
    treeSelection = VVTFRules::TreeSelection();
    vtfCorrectGamma();
}

void VVTF::vtfMenuComputeReflectivity()
{
    treeSelection = VVTFRules::TreeSelection();
    vtfComputeReflectivity();
}

void VVTF::vtfMenuGenerateMipmaps()
{
    treeSelection = VVTFRules::TreeSelection();
    vtfGenerateMipmaps();
}

void VVTF::vtfGenerateSpheremaps()
{
    if (!m_document)
        return;
    VVTFImageRangeWidget *range = rangeWidget(treeSelection, false);
    // Every face of each position takes part.
    range->faceStartEdit->clear();
    range->faceEndEdit->clear();
    ImageRange r;
    if (!askRange(range, r))
        return;
    m_document->generateSpheremaps(r.mipStart, r.mipEnd, r.frameStart, r.frameEnd, r.sliceStart,
                                   r.sliceEnd);
    vtfRebuildImageTree();
    // The spheremap face may have been added.
    showFaceCountTicks(VVTFRules::commands(*m_document).faceCountTick);
    if (m_currentFace == SpheremapFace)
        reselectShownImage();
    setWindowModified(true);
}

void VVTF::vtfCorrectGamma()
{
    if (!m_document)
        return;
    ImageRange r;
    if (!askRange(rangeWidget(treeSelection, false), r))
        return;
    QInputDialog question(this);
    question.setWindowTitle(windowTitle());
    question.setLabelText(tr("Gamma Correction:"));
    question.setInputMode(QInputDialog::DoubleInput);
    question.setDoubleDecimals(GammaDecimals);
    question.setDoubleRange(0.0, GammaMaximum);
    question.setDoubleValue(1.0);
    if (CPrompt::exec(&question) != QDialog::Accepted)
        return;
    m_document->applyGammaCorrection(float(question.doubleValue()), r.mipStart, r.mipEnd,
                                     r.frameStart, r.frameEnd, r.faceStart, r.faceEnd, r.sliceStart,
                                     r.sliceEnd);
    reselectShownImage();
    setWindowModified(true);
}

void VVTF::vtfComputeReflectivity()
{
    if (!m_document)
        return;
    ImageRange r;
    if (!askRange(rangeWidget(treeSelection, false), r))
        return;
    float rgb[3] = {0.0f, 0.0f, 0.0f};
    m_document->computeReflectivity(rgb[0], rgb[1], rgb[2], r.mipStart, r.mipEnd, r.frameStart,
                                    r.frameEnd, r.faceStart, r.faceEnd, r.sliceStart, r.sliceEnd);
    for (float &value : rgb)
        value = qBound(0.0f, value, 1.0f);
    m_document->setReflectivity(rgb[0], rgb[1], rgb[2]);
    reflectivityRedEdit->setText(formatFloat(rgb[0], 6));
    reflectivityGreenEdit->setText(formatFloat(rgb[1], 6));
    reflectivityBlueEdit->setText(formatFloat(rgb[2], 6));
    setWindowModified(true);
}

void VVTF::vtfGenerateMipmaps()
{
    if (!m_document)
        return;
    ImageRange r;
    if (!askRange(rangeWidget(treeSelection, true), r))
        return;
    const QStringList levels = VVTFEditRules::levelSizes(*m_document, m_document->mipmapCount());
    bool ok = false;
    const QString answer = CPrompt::getItem(this, windowTitle(), tr("Source Mipmap:"), levels,
                                            levels.size() - 1, false, &ok);
    const int source = levels.indexOf(answer);
    int filter = 0;
    if (!ok || source < 0 || !askResampleFilter(filter))
        return;
    m_document->generateMipmaps(source, r.mipStart, r.mipEnd, r.frameStart, r.frameEnd, r.faceStart,
                                r.faceEnd, r.sliceStart, r.sliceEnd, filter);
    reselectShownImage();
    setWindowModified(true);
}

void VVTF::vtfTreeFromImage()
{
    if (!m_document)
        return;
    const bool thumbnail = treeSelection.mipmap == VVTFRules::TreeSelection::AllMipmaps;
    const VVTFEditRules::Position target =
        VVTFEditRules::concretePosition(treeSelection, VVTFRules::counts(m_document));
    auto *range =
        new VVTFImageRangeWidget(m_document, quint8(target.mipmap), quint8(target.mipmap),
                                 quint16(target.frame), quint16(target.frame), quint8(target.face),
                                 quint8(target.face), quint16(target.slice), quint16(target.slice));
    // The user names the source in the start fields.
    if (thumbnail)
        range->hideRangeEnd();
    else
        range->lockRangeEnd();
    ImageRange r;
    if (!askRange(range, r))
        return;
    const VVTFEditRules::Position source{r.mipStart, r.frameStart, r.faceStart, r.sliceStart};

    if (thumbnail) {
        if (!m_document->generateLowResImage(source.mipmap, source.frame, source.face,
                                             source.slice))
            return;
        thumbnailFormatBox->setCurrentIndex(int(m_document->lowResImageFormat()) + 1);
        if (!m_imageShown)
            vtfShowThumbnail();
        setWindowModified(true);
        return;
    }
    if (source == target)
        return;
    int filter = 0;
    if (!askResampleFilter(filter))
        return;
    if (!m_document->copyImage(source.mipmap, source.frame, source.face, source.slice,
                               target.mipmap, target.frame, target.face, target.slice, filter))
        return;
    refreshIfShown(target.mipmap, target.frame, target.face, target.slice);
    setWindowModified(true);
}

bool VVTF::writePicture(const QImage &picture, const QString &path)
{
    // An existing picture is replaced only by a complete one.
    CSaveFile file(path);
    QImageWriter writer(&file, QFileInfo(path).suffix().toLower().toLatin1());
    QString error;
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
    } else if (!writer.write(picture)) {
        error = file.failure(writer.errorString());
        file.cancelWriting();
    } else if (!file.commit()) {
        error = file.errorString();
    }
    if (error.isEmpty())
        return true;
    CPrompt::information(this, windowTitle(), error);
    return false;
}

void VVTF::vtfExport()
{
    if (!m_document)
        return;
    // The whole texture.
    ImageRange r;
    if (!askRange(rangeWidget(VVTFRules::TreeSelection(), false), r))
        return;
    const QString filter = QLatin1String(VVTFText::ExportFilter);

    if (r.single()) {
        // One image: the chosen one, written as each image of a range is.
        const QImage picture =
            exportedPicture(*m_document, {r.mipStart, r.frameStart, r.faceStart, r.sliceStart});
        if (picture.isNull()) {
            // A slice the texture lacks (the slice fields are not limited),
            // or a format without a decoder: nothing to write, and said so.
            CPrompt::information(this, windowTitle(),
                                 QString::fromLatin1(VVTFText::ExportUndecodable)
                                     .arg(r.mipStart)
                                     .arg(r.frameStart)
                                     .arg(r.faceStart)
                                     .arg(r.sliceStart));
            return;
        }
        const QString path = MainWindowDialogs::saveFileName(
            this, QLatin1String(VVTFText::SaveImageCaption), filter);
        if (!path.isEmpty())
            writePicture(picture, path);
        return;
    }

    QString directory =
        MainWindowDialogs::existingDirectory(this, QLatin1String(VVTFText::SaveImagesCaption));
    if (directory.isEmpty())
        return;
    directory += QLatin1Char('/');
    const QStringList formats = filter.split(QStringLiteral(";;"));
    bool ok = false;
    const QString format =
        CPrompt::getItem(this, windowTitle(), tr("Image Format:"), formats, 0, false, &ok);
    if (!ok || !formats.contains(format))
        return;
    const QString extension = QLatin1Char('.') + extensionFromFilter(format);
    // A texture never saved has no file name yet: its shown name stands in.
    const QString base = textureName();

    VVTFEditRules::Position p;
    for (p.mipmap = r.mipStart; p.mipmap <= r.mipEnd; ++p.mipmap)
        for (p.frame = r.frameStart; p.frame <= r.frameEnd; ++p.frame)
            for (p.face = r.faceStart; p.face <= r.faceEnd; ++p.face)
                for (p.slice = r.sliceStart; p.slice <= r.sliceEnd; ++p.slice) {
                    // Positions the texture does not hold (the slice fields
                    // are not limited) are skipped.
                    const QImage picture = exportedPicture(*m_document, p);
                    if (picture.isNull())
                        continue;
                    if (!writePicture(picture,
                                      VVTFEditRules::exportFileName(directory, base, p, extension)))
                        return;
                }
}
