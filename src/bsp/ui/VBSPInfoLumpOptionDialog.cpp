#include "VBSPInfoLumpOptionDialog.h"

#include "uifunctions.h"

#include <QGridLayout>
#include <QPushButton>

namespace {

QPushButton *optionButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return button;
}

} // namespace

VBSPInfoLumpOptionDialog::VBSPInfoLumpOptionDialog(const QString &lumpName, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Lump ") + lumpName);
    auto *layout = new QGridLayout(this);
    layout->setSpacing(3);
    layout->setContentsMargins(3, 3, 3, 3);

    QPushButton *extract =
        optionButton(QStringLiteral("Extract"), QStringLiteral("extractButton"), this);
    QPushButton *replace =
        optionButton(QStringLiteral("Replace"), QStringLiteral("replaceButton"), this);
    QPushButton *cancel =
        optionButton(QStringLiteral("Cancel"), QStringLiteral("cancelButton"), this);
    cancel->setDefault(true);
    layout->addWidget(extract, 1, 0, 1, 2);
    layout->addWidget(replace, 3, 0, 1, 2);
    layout->addWidget(cancel, 4, 1);
    connect(extract, &QPushButton::clicked, this, &VBSPInfoLumpOptionDialog::extractPressed);
    connect(replace, &QPushButton::clicked, this, &VBSPInfoLumpOptionDialog::replacePressed);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    layout->activate();
    setFixedSize(300, sizeHint().height());
    centerWidget(this, parent);
}
