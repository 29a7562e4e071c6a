#include "VVTF.h"

#include "CFileVTF.h"
#include "functions.h"

#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

// What the panel shows of the document: the image tree, the flag colours,
// the header fields and the resources.

namespace {
const QColor FlagSet(192, 255, 192);
const QColor FlagClear(255, 192, 192);

QString hexWord(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}
} // namespace

void VVTF::vtfRebuildImageTree()
{
    imageTree->setUpdatesEnabled(false);
    imageTree->clear();
    imageTree->addTopLevelItem(new QTreeWidgetItem(QStringList(tr("Thumbnail"))));
    if (m_document && m_document->mipmapCount() > 0) {
        const VVTFRules::Counts counts = VVTFRules::counts(m_document);
        const bool namedFaces =
            (m_document->flags() & VTFFlag::EnvironmentMap) && counts.faces >= 6;

        // A level with a single member is left out: its children hang on the
        // level above.
        const auto addSlices = [&](QTreeWidgetItem *parent) {
            if (counts.slices < 2)
                return;
            for (int slice = 0; slice < counts.slices; ++slice)
                new QTreeWidgetItem(parent, QStringList(QStringLiteral("Slice %1").arg(slice)));
        };
        const auto addFaces = [&](QTreeWidgetItem *parent) {
            if (counts.faces < 2) {
                addSlices(parent);
                return;
            }
            for (int face = 0; face < counts.faces; ++face)
                addSlices(new QTreeWidgetItem(parent,
                                              QStringList(VVTFRules::faceLabel(face, namedFaces))));
        };
        const auto addFrames = [&](QTreeWidgetItem *parent) {
            if (counts.frames < 2) {
                addFaces(parent);
                return;
            }
            for (int frame = 0; frame < counts.frames; ++frame)
                addFaces(new QTreeWidgetItem(parent,
                                             QStringList(QStringLiteral("Frame %1").arg(frame))));
        };

        QList<QTreeWidgetItem *> mipmaps;
        for (int mip = 0; mip < m_document->mipmapCount(); ++mip) {
            auto *item = new QTreeWidgetItem(QStringList(QStringLiteral("%1 x %2")
                                                             .arg(m_document->mipmapWidth(mip))
                                                             .arg(m_document->mipmapHeight(mip))));
            addFrames(item);
            mipmaps << item;
        }
        imageTree->addTopLevelItems(mipmaps);
    }
    imageTree->setUpdatesEnabled(true);
}

void VVTF::vtfNormalizeTreeSelection()
{
    VVTFRules::normalize(treeSelection, VVTFRules::counts(m_document));
}

void VVTF::vtfUpdateFlagColours()
{
    const quint32 flags = m_document ? m_document->flags() : 0;
    for (int bit = 0; bit < flagList->count(); ++bit)
        flagList->item(bit)->setBackground((flags >> bit) & 1 ? FlagSet : FlagClear);
}

void VVTF::vtfUpdateImageFields()
{
    if (!m_document)
        return;
    versionBox->setCurrentIndex(int(m_document->minorVersion()));
    thumbnailFormatBox->setCurrentIndex(int(m_document->lowResImageFormat()) + 1);
    imageFormatBox->setCurrentIndex(int(m_document->highResImageFormat()));
    firstFrameEdit->setText(QString::number(m_document->firstFrame()));
    bumpmapEdit->setText(formatFloat(m_document->bumpmapScale(), 6));
    reflectivityRedEdit->setText(formatFloat(m_document->reflectivity(0), 6));
    reflectivityGreenEdit->setText(formatFloat(m_document->reflectivity(1), 6));
    reflectivityBlueEdit->setText(formatFloat(m_document->reflectivity(2), 6));
}

void VVTF::showResources()
{
    const VTFResource *crc = m_document->findResource(VTFResourceTag::Crc);
    crcStatus->setText(crc ? hexWord(crc->data) : tr("Absent"));

    const VTFResource *lod = m_document->findResource(VTFResourceTag::LevelOfDetail);
    lodGroup->setChecked(lod);
    QLineEdit *const clamps[] = {lodClampX, lodClampY, lodXboxClampX, lodXboxClampY};
    for (int i = 0; i < 4; ++i)
        clamps[i]->setText(lod ? QString::number((lod->data >> (8 * i)) & 0xFF) : QString());

    sheetButton->setEnabled(m_document->findResource(VTFResourceTag::Sheet));

    const VTFResource *settings = m_document->findResource(VTFResourceTag::Ts0);
    textureSettingsGroup->setChecked(settings);
    textureSettingsEdit->setText(settings ? hexWord(settings->data) : QString());

    keyValueStatus->setText(m_document->findResource(VTFResourceTag::KeyValues) ? tr("Present")
                                                                                : tr("Absent"));
}
