#include "VVTF.h"

#include "CFileVTF.h"
#include "CPrompt.h"
#include "VVTFEditRules.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

// Changing the texture's shape: faces, frames, slices, mipmaps, and a new
// thumbnail. The document decides and says why it refuses.

namespace {
// Slice counts offered: 2^0 .. 2^16 (the last is refused by every texture).
constexpr int SliceItems = 17;
// Largest mipmaps offered: the chain of 1 to 13 levels.
constexpr int MipmapItems = 13;
constexpr int SixFaces = 6;
} // namespace

void VVTF::showRefusal()
{
    CPrompt::warning(this, windowTitle(), m_document->error(), QMessageBox::Ok, QMessageBox::Ok);
}

void VVTF::vtfGenerateThumbnail()
{
    if (!m_document)
        return;
    if (m_document->generateLowResImage()) {
        // A texture without a thumbnail format got one.
        thumbnailFormatBox->setCurrentIndex(int(m_document->lowResImageFormat()) + 1);
        setWindowModified(true);
    }
    if (!m_imageShown)
        vtfShowThumbnail();
}

void VVTF::vtfSetFacesOne()
{
    vtfSetFacesShared(1);
}

void VVTF::vtfSetFacesSix()
{
    vtfSetFacesShared(6);
}

void VVTF::vtfSetFacesSeven()
{
    vtfSetFacesShared(7);
}

void VVTF::vtfSetFacesShared(unsigned char faces)
{
    if (!m_document)
        return;
    if (!m_document->setFaceCount(faces)) {
        showRefusal();
        return;
    }
    const VVTFRules::Commands commands = VVTFRules::commands(*m_document);
    actionGenerateSpheremaps->setEnabled(commands.generateSpheremaps);
    treeActionGenerateSpheremaps->setEnabled(commands.generateSpheremaps);
    showFaceCountTicks(commands.faceCountTick);
    // A texture with slices cannot be an environment map.
    actionSliceCount->setEnabled(commands.sliceCount);
    // A six-face environment map marks itself by first frame 0xFFFF, read -1.
    firstFrameEdit->setText(QString::number(qint16(m_document->firstFrame())));
    firstFrameEdit->setEnabled(VVTFRules::counts(m_document).faces != SixFaces);
    reselectShownImage();
    vtfRebuildImageTree();
    vtfUpdateFlagColours();
    setWindowModified(true);
}

void VVTF::vtfSetFrames()
{
    if (!m_document)
        return;
    bool ok = false;
    const int count = CPrompt::getInt(this, windowTitle(), tr("Frame Count:"),
                                      VVTFRules::counts(m_document).frames, 1, 65536, 1, &ok);
    if (!ok)
        return;
    // 65536 arrives as 0, which the document refuses.
    if (!m_document->setFrameCount(quint16(count))) {
        showRefusal();
        return;
    }
    vtfRebuildImageTree();
    vtfUpdateImageFields();
    reselectShownImage();
    setWindowModified(true);
}

void VVTF::vtfSetSlices()
{
    if (!m_document)
        return;
    QStringList items;
    for (int k = 0; k < SliceItems; ++k)
        items << QString::number(1 << k);
    bool ok = false;
    const QString answer = CPrompt::getItem(
        this, windowTitle(), tr("Slice Count:"), items,
        VVTFEditRules::slicePreselect(VVTFRules::counts(m_document).slices), false, &ok);
    const int k = items.indexOf(answer);
    if (!ok || k < 0)
        return;
    // "65536" arrives as 0, which the document refuses.
    if (!m_document->setSliceCount(quint16(1 << k))) {
        showRefusal();
        return;
    }
    menuFaceCount->setEnabled(VVTFRules::counts(m_document).slices == 1);
    vtfRebuildImageTree();
    reselectShownImage();
    setWindowModified(true);
}

void VVTF::vtfSetMipmaps()
{
    if (!m_document)
        return;
    const QStringList items = VVTFEditRules::levelSizes(*m_document, MipmapItems);
    bool ok = false;
    const QString answer =
        CPrompt::getItem(this, windowTitle(), tr("Largest Mipmap:"), items,
                         qBound(0, m_document->mipmapCount() - 1, MipmapItems - 1), false, &ok);
    const int position = items.indexOf(answer);
    if (!ok || position < 0)
        return;
    if (!m_document->setMipmapCount(position + 1)) {
        showRefusal();
        return;
    }
    const bool several = m_document->mipmapCount() > 1;
    actionGenerateMipmaps->setEnabled(several);
    treeActionGenerateMipmaps->setEnabled(several);
    vtfRebuildImageTree();
    reselectShownImage();
    setWindowModified(true);
}
