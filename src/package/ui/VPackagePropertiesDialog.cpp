#include "VPackagePropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

VPackagePropertiesDialog::VPackagePropertiesDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("propertiesDialog"));
    setMaximumWidth(300);
    setModal(true);

    m_group = new QGroupBox(QStringLiteral("Properties"), this);
    // One grid for both blocks, so the values line up across the line.
    auto *grid = new QGridLayout(m_group);
    m_line = new QFrame(m_group);
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);
    for (int i = 0; i < CPackageProperties::RowCount; ++i) {
        const auto row = CPackageProperties::Row(i);
        m_captions[i] = new QLabel(CPackageProperties::caption(row), m_group);
        m_values[i] = new QLabel(m_group);
        m_values[i]->setObjectName(QStringLiteral("value%1").arg(i));
        m_values[i]->setTextFormat(Qt::PlainText);
        m_captions[i]->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        m_values[i]->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
        const int at = i < CPackageProperties::UpperRows ? i : i + 1;
        grid->addWidget(m_captions[i], at, 0);
        grid->addWidget(m_values[i], at, 1);
    }
    grid->addWidget(m_line, CPackageProperties::UpperRows, 0, 1, 2);
    m_values[CPackageProperties::Path]->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    layout->addWidget(buttons);
}

void VPackagePropertiesDialog::fill(const CPackageProperties &properties)
{
    const bool changed =
        !m_layoutSet || m_lineShown != properties.lineVisible ||
        !std::equal(std::begin(m_shown), std::end(m_shown), std::begin(properties.visible));
    if (changed) {
        for (int i = 0; i < CPackageProperties::RowCount; ++i) {
            m_captions[i]->setVisible(properties.visible[i]);
            m_values[i]->setVisible(properties.visible[i]);
            m_shown[i] = properties.visible[i];
        }
        m_line->setVisible(properties.lineVisible);
        m_lineShown = properties.lineVisible;
        m_layoutSet = true;
    }
    for (int i = 0; i < CPackageProperties::RowCount; ++i)
        m_values[i]->setText(properties.values[i]);
    setWindowTitle(properties.title);
    // The dialog is fixed at its size for each entry; let it shrink again.
    setMinimumSize(0, 0);
    setMaximumSize(300, QWIDGETSIZE_MAX);
    m_group->adjustSize();
    adjustSize();
}
