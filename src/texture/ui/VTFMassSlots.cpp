// The converter window's slots that keep its settings consistent.

#include "VTFMass.h"

#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "QWidgetDialog.h"
#include "VTFFormat.h"
#include "VVTFResizeParametersBox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace {
const QColor FlagUnchanged(255, 255, 192);
const QColor FlagSet(192, 255, 192);
const QColor FlagCleared(255, 192, 192);

// Entries of the resize box's clamp lists ("1" .. "4096").
constexpr int ClampEntries = 13;

// Bits that follow from the format and the faces: clicks leave them alone.
constexpr quint32 DerivedFlags =
    VTFFlag::OneBitAlpha | VTFFlag::EightBitAlpha | VTFFlag::EnvironmentMap;

// Neither P8 nor RGBA16161616F can be converted to.
bool refusedFormat(int format)
{
    return format == IMAGE_FORMAT_P8 || format == IMAGE_FORMAT_RGBA16161616F;
}

// The chosen format entry, or the remembered one back in the list.
void keepConvertible(QComboBox *box, int index, int format, int &remembered)
{
    if (refusedFormat(format))
        box->setCurrentIndex(remembered);
    else
        remembered = index;
}
} // namespace

void VTFMass::sourcePathButtonClicked()
{
    const QString directory = MainWindowDialogs::existingDirectory(nullptr, windowTitle());
    if (!directory.isEmpty())
        m_sourceEdit->setText(directory);
}

void VTFMass::destinationPathButtonClicked()
{
    const QString directory = MainWindowDialogs::existingDirectory(nullptr, windowTitle());
    if (!directory.isEmpty())
        m_targetEdit->setText(directory);
}

void VTFMass::setResourceSource(QGroupBox *box, const ResourceChoice &choice, bool texture)
{
    box->setChecked(texture);
    choice.skip->setEnabled(texture);
    choice.existing->setEnabled(texture);
    (texture ? choice.skip : choice.modify)->setChecked(true);
    choice.all->setChecked(true);
}

void VTFMass::fromFormatComboChanged(int index)
{
    const bool texture = index == 0;
    // A texture source changes only what is asked for; an image source
    // always gets a version and both formats.
    const std::pair<QGroupBox *, const char *> boxes[] = {{m_versionGroup, "Version"},
                                                          {m_thumbnailGroup, "Thumbnail Format"},
                                                          {m_formatGroup, "Format"}};
    for (const auto &box : boxes) {
        const QString title = QString::fromLatin1(box.second);
        box.first->setTitle(texture ? QStringLiteral("Set ") + title : title);
        box.first->setCheckable(texture);
        if (texture)
            box.first->setChecked(false);
    }
    // As toVersionCheckToggled: an unchecked "Set Version" keeps each file's.
    m_resourcesGroup->setEnabled(texture || m_versionBox->currentIndex() > 2);
    setResourceSource(m_lodGroup, m_lodChoice, texture);
    setResourceSource(m_ts0Group, m_ts0Choice, texture);
    m_resizeButton->setEnabled(!texture);
    if (!texture && m_targetFormatBox->currentIndex() != 0)
        m_targetFormatBox->setCurrentIndex(0);
}

void VTFMass::toFormatComboChanged(int index)
{
    m_pages->setCurrentIndex(index == 0 ? TexturePage : ImagePage);
    if (index != 0 && m_sourceFormatBox->currentIndex() != 0)
        m_sourceFormatBox->setCurrentIndex(0);
}

void VTFMass::toVersionComboChanged(int index)
{
    m_resourcesGroup->setEnabled(index > 2);
}

void VTFMass::toVersionCheckToggled(bool checked)
{
    m_resourcesGroup->setEnabled(!checked || m_versionBox->currentIndex() > 2);
}

void VTFMass::toLowResFormatComboChanged(int index)
{
    keepConvertible(m_thumbnailBox, index, index - 1, m_thumbnailEntry);
}

void VTFMass::toHighResFormatComboChanged(int index)
{
    keepConvertible(m_formatBox, index, index, m_imageEntry);
}

void VTFMass::flagItemClicked(QListWidgetItem *item)
{
    const int row = m_flagList->row(item);
    if (row < 0 || row > 31)
        return;
    const quint32 bit = quint32(1) << row;
    if (bit & DerivedFlags)
        return;
    // Unchanged -> set -> cleared -> unchanged.
    if (m_flagsToSet & bit) {
        m_flagsToSet &= ~bit;
        m_flagsToClear |= bit;
        item->setBackground(FlagCleared);
    } else if (m_flagsToClear & bit) {
        m_flagsToClear &= ~bit;
        item->setBackground(FlagUnchanged);
    } else {
        m_flagsToSet |= bit;
        item->setBackground(FlagSet);
    }
}

void VTFMass::resourceLODChanged()
{
    for (size_t i = 0; i < m_lodEdits.size(); ++i) {
        bool ok = false;
        const uint value = m_lodEdits[i]->text().toUInt(&ok, 10);
        if (ok)
            m_lodValues[i] = quint8(qMin<uint>(value, 255));
        m_lodEdits[i]->setText(QString::number(m_lodValues[i]));
    }
}

void VTFMass::resourceLODToggled(bool checked)
{
    Q_UNUSED(checked)
}

void VTFMass::resourceTS0Changed()
{
    bool ok = false;
    // The text after its "0x".
    const uint value = m_ts0Edit->text().mid(2).toUInt(&ok, 16);
    if (ok)
        m_ts0Value = value;
    m_ts0Edit->setText(QStringLiteral("0x") +
                       QStringLiteral("%1").arg(m_ts0Value, 8, 16, QLatin1Char('0')).toUpper());
}

void VTFMass::resourceTS0Toggled(bool checked)
{
    Q_UNUSED(checked)
}

void VTFMass::resizeParametersButtonClicked()
{
    auto *settings = new VVTFResizeParametersBox;
    settings->filterBox->setCurrentIndex(m_resizeFilter);
    settings->widthModeBox->setCurrentIndex(m_widthMethod);
    settings->heightModeBox->setCurrentIndex(m_heightMethod);
    if (m_widthClamp < ClampEntries)
        settings->widthClampBox->setCurrentIndex(m_widthClamp);
    if (m_heightClamp < ClampEntries)
        settings->heightClampBox->setCurrentIndex(m_heightClamp);
    QWidgetDialog dialog(settings, this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    if (CPrompt::exec(&dialog) != QDialog::Accepted)
        return;
    m_resizeFilter = quint8(settings->filterBox->currentIndex());
    m_widthMethod = quint8(settings->widthModeBox->currentIndex());
    m_widthClamp = quint8(settings->widthClampBox->currentIndex());
    m_heightMethod = quint8(settings->heightModeBox->currentIndex());
    m_heightClamp = quint8(settings->heightClampBox->currentIndex());
}
