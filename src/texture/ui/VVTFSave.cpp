#include "VVTF.h"

#include "CFileVTF.h"
#include "CPrompt.h"
#include "CSaveFile.h"
#include "MainWindowDialogs.h"
#include "VVTFTexts.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

// Writing the texture out, and copying one image to the clipboard.

namespace {
QString askTexturePath(QWidget *parent, const char *caption)
{
    return MainWindowDialogs::saveFileName(parent, QLatin1String(caption),
                                           QLatin1String(VVTFText::TextureFilter));
}
} // namespace

bool VVTF::saveTo(const QString &path, bool copy)
{
    if (!m_document || path.isEmpty())
        return false;
    // Written beside the target and swapped in only when complete: a failed
    // save leaves the old file as it was.
    CSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.folderOr(
            QString::fromLatin1(VVTFText::SaveUnopened).arg(path, file.errorString()));
    } else if (!m_document->write(static_cast<QIODevice *>(&file))) {
        error = file.failure(m_document->error());
        file.cancelWriting();
    } else if (!file.commit()) {
        error = file.folderOr(
            QString::fromLatin1(VVTFText::SaveUncommitted).arg(path, file.errorString()));
    }
    if (!error.isEmpty()) {
        CPrompt::warning(this, windowTitle(), error);
        return false;
    }
    if (!copy) {
        setWindowModified(false);
        // A later Save writes here.
        m_document->setPath(path, true);
        setWindowTitle(textureName() + QStringLiteral("[*]"));
    }
    return true;
}

bool VVTF::saveDocument()
{
    if (!m_document)
        return true;
    if (m_document->isEmpty())
        return saveTo(askTexturePath(this, VVTFText::SaveAsCaption), false);
    return saveTo(m_document->toString(), false);
}

void VVTF::vtfSaveShared(const QString &path, bool copy)
{
    saveTo(path, copy);
}

void VVTF::vtfSave()
{
    saveDocument();
}

void VVTF::vtfSaveAs()
{
    vtfSaveShared(askTexturePath(this, VVTFText::SaveAsCaption), false);
}

void VVTF::vtfSaveCopyAs()
{
    vtfSaveShared(askTexturePath(this, VVTFText::SaveCopyAsCaption), true);
}

void VVTF::selectViewedImage()
{
    treeSelection.mipmap = m_currentMipmap;
    treeSelection.frame = m_currentFrame;
    treeSelection.face = m_currentFace;
    treeSelection.slice = m_currentSlice;
}

bool VVTF::selectionNamesOneImage()
{
    vtfNormalizeTreeSelection();
    return m_document && treeSelection.namesOneImage();
}

void VVTF::vtfMenuCopy()
{
    selectViewedImage();
    vtfCopy();
}

void VVTF::vtfCopy()
{
    // A node that stands for several images is not copied.
    if (!selectionNamesOneImage())
        return;
    const VVTFRules::TreeSelection &s = treeSelection;
    QByteArray rgba;
    if (!m_document->decodeImage(s.mipmap, s.frame, s.face, s.slice, rgba))
        return;
    // Colour with the mask keeps the alpha; a single channel is grey.
    const QImage image = vtfQImageFromImage(rgba, m_document->mipmapWidth(s.mipmap),
                                            m_document->mipmapHeight(s.mipmap),
                                            int(m_viewFlags & ChannelModeBits), false);
    if (!image.isNull())
        QGuiApplication::clipboard()->setImage(image, QClipboard::Clipboard);
}

void VVTF::vtfClipboardDataChanged()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    const bool image = mime && mime->hasImage();
    actionPaste->setEnabled(image);
    treeActionPaste->setEnabled(image);
}
