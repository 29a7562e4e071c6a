#include "VVTF.h"

#include "CFileVTF.h"
#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "VTFMagick.h"
#include "VVTFEditRules.h"
#include "VVTFTexts.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QMenu>
#include <QMimeData>
#include <QTreeWidget>

// The image tree: which images a node stands for, clicks, the context menu,
// and replacing one image from a picture file or from the clipboard.

void VVTF::vtfResolveTreeItem(QTreeWidgetItem *item)
{
    treeSelection = VVTFEditRules::resolveTreeItem(item, VVTFRules::counts(m_document));
}

void VVTF::vtfTreeItemClicked(QTreeWidgetItem *item, int)
{
    if (!item)
        return;
    if (item == imageTree->topLevelItem(0)) {
        vtfShowThumbnail();
        return;
    }
    if (item->childCount() > 0) {
        // The tree does not expand on a double click; one click folds.
        item->setExpanded(!item->isExpanded());
        return;
    }
    vtfResolveTreeItem(item);
    const VVTFEditRules::Position p =
        VVTFEditRules::concretePosition(treeSelection, VVTFRules::counts(m_document));
    if (vtfSelectImage(p.mipmap, p.frame, p.face, p.slice))
        vtfRefreshView();
}

void VVTF::vtfTreeContextMenu(const QPoint &point)
{
    QTreeWidgetItem *item = imageTree->itemAt(point);
    if (!item)
        return;
    vtfResolveTreeItem(item);
    const VVTFEditRules::TreeMenu menu =
        VVTFEditRules::treeMenu(item == imageTree->topLevelItem(0), item->childCount() == 0,
                                VVTFRules::counts(m_document), actionPaste->isEnabled());
    treeActionCopy->setEnabled(menu.copy);
    treeActionPaste->setEnabled(menu.paste);
    treeActionFromFile->setEnabled(menu.fromFile);
    treeActionFromImage->setEnabled(menu.fromImage);
    treeActionCorrectGamma->setEnabled(menu.correctGamma);
    treeActionComputeReflectivity->setEnabled(menu.computeReflectivity);
    treeActionGenerateMipmaps->setEnabled(menu.generateMipmaps);
    treeActionGenerateSpheremaps->setEnabled(menu.generateSpheremaps);
    treeMenu->popup(QCursor::pos());
}

void VVTF::vtfTreeFromFile()
{
    if (!selectionNamesOneImage())
        return;
    const QString path =
        MainWindowDialogs::openFileName(this, windowTitle(), QLatin1String(VVTFText::ImageFilter));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CPrompt::information(this, windowTitle(),
                             QString::fromLatin1(VVTFText::PictureUnopened).arg(path));
        return;
    }
    // The format is told by the contents.
    QImageReader reader(&file);
    const QImage image = reader.read();
    if (image.isNull()) {
        CPrompt::information(this, windowTitle(),
                             QString::fromLatin1(VVTFText::PictureUnreadable).arg(path));
        return;
    }
    replaceSelectedImage(image);
}

void VVTF::vtfPaste()
{
    if (!selectionNamesOneImage())
        return;
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    const QImage image = mime ? qvariant_cast<QImage>(mime->imageData()) : QImage();
    if (!image.isNull())
        replaceSelectedImage(image);
}

void VVTF::vtfMenuPaste()
{
    selectViewedImage();
    vtfPaste();
}

void VVTF::replaceSelectedImage(const QImage &image)
{
    const VVTFRules::TreeSelection s = treeSelection;
    const int width = m_document->mipmapWidth(s.mipmap);
    const int height = m_document->mipmapHeight(s.mipmap);
    QByteArray rgba;
    if (image.width() == width && image.height() == height) {
        rgba = vtfImageFromQImage(image);
    } else {
        int filter = 0;
        if (!askResampleFilter(filter))
            return;
        Magick::Image resized = vtfMagickFromQImage(image);
        if (!vtfResizeMagick(resized, width, height, filter))
            return;
        rgba = vtfImageFromMagick(resized);
    }
    m_document->setImage(rgba, width, height, s.mipmap, s.frame, s.face, s.slice, false);
    if (!m_imageShown)
        vtfShowThumbnail();
    else
        refreshIfShown(s.mipmap, s.frame, s.face, s.slice);
    setWindowModified(true);
}

void VVTF::refreshIfShown(int mipmap, int frame, int face, int slice)
{
    if (m_imageShown && m_currentMipmap == mipmap && m_currentFrame == frame &&
        m_currentFace == face && m_currentSlice == slice &&
        vtfSelectImage(mipmap, frame, face, slice))
        vtfRefreshView();
}
