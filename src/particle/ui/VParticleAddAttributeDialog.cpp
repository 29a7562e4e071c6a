#include "VParticleAddAttributeDialog.h"

#include "CPrompt.h"
#include "DMXAttribute.h"
#include "uifunctions.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

VParticleAddAttributeDialog::VParticleAddAttributeDialog(QWidget *parent)
    : QDialog(parent)
{
    layout = new QGridLayout;
    nameLabel = new QLabel(tr("Attribute Name:"), this);
    typeLabel = new QLabel(tr("Attribute Type:"), this);
    nameEdit = new QLineEdit(this);
    nameEdit->setMinimumWidth(100);
    typeCombo = new QComboBox(this);
    typeCombo->setMinimumWidth(100);
    okButton = new QPushButton(tr("Ok"), this);
    cancelButton = new QPushButton(tr("Cancel"), this);
    okButton->setSizePolicy(QSizePolicy::Fixed, okButton->sizePolicy().verticalPolicy());
    cancelButton->setSizePolicy(QSizePolicy::Fixed, cancelButton->sizePolicy().verticalPolicy());

    for (uint type = ATTRIBUTE_ELEMENT; type < DMX::TypeCount; ++type) {
        const QString name = DMX::typeName(type);
        if (!name.startsWith(QLatin1String("ELEMENT"), Qt::CaseInsensitive))
            typeCombo->addItem(name);
    }

    layout->addWidget(nameLabel, 0, 0);
    layout->addWidget(typeLabel, 1, 0);
    layout->addWidget(nameEdit, 0, 1);
    layout->addWidget(typeCombo, 1, 1);
    layout->setColumnMinimumWidth(2, 20);
    layout->addWidget(okButton, 0, 3);
    layout->addWidget(cancelButton, 1, 3);
    layout->setSpacing(3);
    layout->setContentsMargins(3, 3, 3, 3);
    setLayout(layout);

    adjustSize();
    setFixedSize(350, height());
    setWindowTitle(tr("Add Attribute"));

    connect(okButton, &QPushButton::clicked, this, &VParticleAddAttributeDialog::acceptCheck);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void VParticleAddAttributeDialog::acceptCheck()
{
    if (!nameEdit->text().isEmpty())
        accept();
}

DMXAttribute *VParticleAddAttributeDialog::getAttribute()
{
    nameEdit->clear();
    if (parentWidget())
        centerWidget(this, parentWidget()->window());
    // A scripted answer may accept without a name; the dialog itself cannot.
    if (CPrompt::exec(this) != QDialog::Accepted || nameEdit->text().isEmpty())
        return nullptr;
    const uint type = DMX::typeFromName(typeCombo->currentText());
    void *value = newDmxAttributeValue(type);
    if (!value)
        return nullptr;
    auto *attribute = new DMXAttribute;
    attribute->setName(nameEdit->text());
    attribute->setValue(type, value);
    return attribute;
}
