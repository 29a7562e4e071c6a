// The converter window's run: the Apply/Cancel/Return cycle, the settings
// handed to the converter, and the run page the converter reports to.

#include "VTFMass.h"

#include "CPrompt.h"
#include "VTFMassConverter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

VTFMassResourceRule VTFMass::resourceRule(const QGroupBox *box, const ResourceChoice &choice)
{
    VTFMassResourceRule rule;
    rule.enabled = box->isChecked();
    rule.modify = choice.modify->isChecked();
    rule.all = choice.all->isChecked();
    return rule;
}

VTFMassOptions VTFMass::options() const
{
    VTFMassOptions o;
    o.filterMode = m_filterModeBox->currentIndex();
    o.filterText = m_filterEdit->text();
    o.sourceFormat = m_sourceFormatBox->currentText();
    o.targetFormat = m_targetFormatBox->currentText();
    o.sourceDirectory = m_sourceEdit->text();
    o.targetDirectory = m_targetEdit->text();
    o.recursive = m_recursiveCheck->isChecked();
    o.preserveStructure = m_preserveCheck->isChecked();
    o.overwrite = m_overwriteCheck->isChecked();
    o.setVersion = m_versionGroup->isChecked();
    o.version = m_versionBox->currentIndex();
    o.setThumbnailFormat = m_thumbnailGroup->isChecked();
    o.thumbnailFormat = VTFImageFormat(m_thumbnailBox->currentIndex() - 1);
    o.setImageFormat = m_formatGroup->isChecked();
    o.imageFormat = VTFImageFormat(m_formatBox->currentIndex());
    o.flagsToSet = m_flagsToSet;
    o.flagsToClear = m_flagsToClear;
    o.levelOfDetail = resourceRule(m_lodGroup, m_lodChoice);
    o.textureSettings = resourceRule(m_ts0Group, m_ts0Choice);
    o.levelOfDetailValues = m_lodValues;
    o.textureSettingsValue = m_ts0Value;
    o.resizeFilter = m_resizeFilter;
    o.widthMethod = m_widthMethod;
    o.widthClamp = m_widthClamp;
    o.heightMethod = m_heightMethod;
    o.heightClamp = m_heightClamp;
    for (size_t level = 0; level < m_exportGroups.size(); ++level) {
        o.exportAll[level] = m_exportGroups[level]->isChecked();
        o.separators[level] = m_separatorEdits[level]->text();
    }
    return o;
}

void VTFMass::cycleFormatControl()
{
    if (m_pages->currentIndex() != RunPage) {
        m_basicSettings->setEnabled(false);
        m_runLog->clear();
        m_runGroup->setTitle(QStringLiteral(".../"));
        m_pages->setCurrentIndex(RunPage);
        m_applyButton->setText(QStringLiteral("Cancel"));
        startFormat();
    } else if (!m_stop) {
        // Asked to stop, or finished: the button waits for the run to end.
        m_stop = true;
        m_applyButton->setEnabled(false);
        m_applyButton->setText(QStringLiteral("Return"));
    } else {
        m_stop = false;
        m_basicSettings->setEnabled(true);
        m_pages->setCurrentIndex(m_targetFormatBox->currentIndex() == 0 ? TexturePage : ImagePage);
        m_applyButton->setText(QStringLiteral("Apply"));
    }
}

void VTFMass::startFormat()
{
    m_running = true;
    VTFMassConverter converter(options(), this);
    converter.run();
    if (!converter.sourceDirectory().isEmpty())
        m_sourceEdit->setText(converter.sourceDirectory());
    if (!converter.targetDirectory().isEmpty())
        m_targetEdit->setText(converter.targetDirectory());
    m_running = false;
    if (!m_stop) {
        m_runGroup->setTitle(QStringLiteral("Done"));
        cycleFormatControl();
    }
    m_applyButton->setEnabled(true);
}

void VTFMass::closeEvent(QCloseEvent *event)
{
    // The run is on the stack: closing now would pull the window from under
    // it. Closing asks it to stop instead; the window closes on the next try.
    if (m_running) {
        if (!m_stop)
            cycleFormatControl();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void VTFMass::refuse(const QString &text)
{
    CPrompt::warning(this, windowTitle(), text);
}

void VTFMass::log(const QString &text)
{
    m_runLog->appendPlainText(text);
}

void VTFMass::setCurrent(const QString &title)
{
    m_runGroup->setTitle(title);
}

bool VTFMass::stopRequested()
{
    // Between files the window answers its buttons, so "Cancel" is heard.
    QCoreApplication::processEvents();
    return m_stop;
}
