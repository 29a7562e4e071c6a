#include "VVTF.h"

#include "CFileVTF.h"
#include "VVTFEditRules.h"
#include "functions.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

// The flag list, the header fields of the "Info" tab and the inline
// resources of the "Resources" tab: each slot writes one change into the
// document and shows what the document now holds.

namespace {
constexpr int ResourcesTab = 4;
constexpr int LatestMinorVersion = 5;
// Resources exist from version 7.3 on.
constexpr int FirstMinorWithResources = 3;

// The four clamp bytes of a level-of-detail entry, or empty fields without one.
void showClamps(QLineEdit *const (&clamps)[4], const VTFResource *lod)
{
    for (int i = 0; i < 4; ++i)
        clamps[i]->setText(lod ? QString::number((lod->data >> (8 * i)) & 0xFF) : QString());
}
} // namespace

void VVTF::vtfFlagItemClicked(QListWidgetItem *item)
{
    if (!m_document || !item)
        return;
    const int row = flagList->row(item);
    if (row < 0 || row > 31)
        return;
    const quint32 bit = quint32(1) << row;
    if (!VVTFEditRules::flagToggles(bit, m_document->flags()))
        return;
    m_document->setFlags(m_document->flags() ^ bit);
    vtfUpdateFlagColours();
    setWindowModified(true);
}

void VVTF::vtfFileVersionChanged(int index)
{
    if (!m_document)
        return;
    if (quint8(index) <= LatestMinorVersion)
        m_document->setMinorVersion(quint8(index));
    tabs->setTabEnabled(ResourcesTab, index >= FirstMinorWithResources);
    setWindowModified(true);
}

void VVTF::vtfLowResImageFormatChanged(int index)
{
    if (!m_document)
        return;
    // Item 0 is "NONE".
    if (!m_document->setLowResImageFormat(VTFImageFormat(index - 1))) {
        thumbnailFormatBox->setCurrentIndex(int(m_document->lowResImageFormat()) + 1);
        return;
    }
    if (!m_imageShown)
        vtfShowThumbnail();
    setWindowModified(true);
}

void VVTF::vtfHighResImageFormatChanged(int index)
{
    if (!m_document)
        return;
    if (m_document->setHighResImageFormat(VTFImageFormat(index))) {
        reselectShownImage();
        setWindowModified(true);
    } else {
        imageFormatBox->setCurrentIndex(int(m_document->highResImageFormat()));
    }
    // The alpha flags follow the format.
    vtfUpdateFlagColours();
}

void VVTF::vtfFirstFrameChanged()
{
    if (!m_document)
        return;
    quint16 frame = m_document->firstFrame();
    if (VVTFEditRules::applyFirstFrame(firstFrameEdit->text(), VVTFRules::counts(m_document),
                                       frame)) {
        m_document->setFirstFrame(frame);
        setWindowModified(true);
    }
    firstFrameEdit->setText(QString::number(m_document->firstFrame()));
}

void VVTF::unitFieldChanged(QLineEdit *edit, int channel)
{
    if (!m_document)
        return;
    if (const std::optional<float> value = VVTFEditRules::unitValue(edit->text())) {
        if (channel < 0) {
            m_document->setBumpmapScale(*value);
        } else {
            float rgb[3] = {m_document->reflectivity(0), m_document->reflectivity(1),
                            m_document->reflectivity(2)};
            rgb[channel] = *value;
            m_document->setReflectivity(rgb[0], rgb[1], rgb[2]);
        }
        setWindowModified(true);
    }
    const float stored =
        channel < 0 ? m_document->bumpmapScale() : m_document->reflectivity(channel);
    edit->setText(formatFloat(stored, 6));
}

void VVTF::vtfBumpmapChanged()
{
    unitFieldChanged(bumpmapEdit, -1);
}

void VVTF::vtfReflectivityRedChanged()
{
    unitFieldChanged(reflectivityRedEdit, 0);
}

void VVTF::vtfReflectivityGreenChanged()
{
    unitFieldChanged(reflectivityGreenEdit, 1);
}

void VVTF::vtfReflectivityBlueChanged()
{
    unitFieldChanged(reflectivityBlueEdit, 2);
}

void VVTF::vtfCRCToggled()
{
    if (!m_document)
        return;
    // The group is not checkable, so this only removes: the file writer
    // keeps no checksum it cannot keep true.
    if (crcGroup->isChecked()) {
        m_document->addResource(VTFResourceTag::Crc);
        crcStatus->setText(tr("Uncalculated"));
    } else {
        m_document->removeResource(VTFResourceTag::Crc);
    }
    setWindowModified(true);
}

void VVTF::vtfLODToggled()
{
    if (!m_document)
        return;
    QLineEdit *const clamps[] = {lodClampX, lodClampY, lodXboxClampX, lodXboxClampY};
    if (lodGroup->isChecked()) {
        showClamps(clamps, m_document->addResource(VTFResourceTag::LevelOfDetail));
    } else {
        m_document->removeResource(VTFResourceTag::LevelOfDetail);
        showClamps(clamps, nullptr);
    }
    setWindowModified(true);
}

void VVTF::vtfLODClampValuesChanged()
{
    if (!m_document)
        return;
    VTFResource *lod = m_document->findResource(VTFResourceTag::LevelOfDetail);
    if (!lod)
        return;
    QLineEdit *const clamps[] = {lodClampX, lodClampY, lodXboxClampX, lodXboxClampY};
    for (int i = 0; i < 4; ++i) {
        if (const std::optional<quint8> value = VVTFEditRules::clampValue(clamps[i]->text())) {
            const int shift = 8 * i;
            lod->data = (lod->data & ~(quint32(0xFF) << shift)) | (quint32(*value) << shift);
            setWindowModified(true);
        }
    }
    showClamps(clamps, lod);
}

void VVTF::vtfTS0Toggled()
{
    if (!m_document)
        return;
    if (textureSettingsGroup->isChecked()) {
        m_document->addResource(VTFResourceTag::Ts0);
        textureSettingsEdit->setText(QStringLiteral("0x00000000"));
    } else {
        textureSettingsEdit->clear();
        m_document->removeResource(VTFResourceTag::Ts0);
    }
    setWindowModified(true);
}

void VVTF::vtfTS0Changed()
{
    if (!m_document)
        return;
    VTFResource *settings = m_document->findResource(VTFResourceTag::Ts0);
    if (!settings)
        return;
    if (const std::optional<quint32> value =
            VVTFEditRules::settingsWord(textureSettingsEdit->text())) {
        settings->data = *value;
        setWindowModified(true);
    }
    textureSettingsEdit->setText(VVTFEditRules::hexText(settings->data));
}
