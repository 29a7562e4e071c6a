#include "QSearchDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QSearchDialog::QSearchDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/magnifier")));
    setWindowTitle(QStringLiteral("Search"));

    query = new QLineEdit(this);
    query->setObjectName(QStringLiteral("query"));
    modeList = new QComboBox(this);
    modeList->setObjectName(QStringLiteral("modeList"));
    modeList->addItems({QStringLiteral("Substring"), QStringLiteral("Whole String"),
                        QStringLiteral("Wildcard"), QStringLiteral("Regular Expression")});
    caseSensitive = new QCheckBox(QStringLiteral("Case Sensitive"), this);
    caseSensitive->setObjectName(QStringLiteral("caseSensitive"));
    buttonOk = new QPushButton(QStringLiteral("Ok"), this);
    buttonOk->setDefault(true);
    buttonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(buttonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttonCancel, &QPushButton::clicked, this, &QDialog::reject);

    formLayout = new QFormLayout;
    formLayout->addRow(QStringLiteral("Query:"), query);
    formLayout->addRow(QStringLiteral("Mode:"), modeList);

    buttonLayout = new QHBoxLayout;
    buttonLayout->addWidget(caseSensitive, 0, Qt::AlignLeft);
    buttonLayout->addStretch();
    buttonLayout->addWidget(buttonOk, 0, Qt::AlignRight);
    buttonLayout->addWidget(buttonCancel, 0, Qt::AlignRight);

    outerLayout = new QVBoxLayout(this);
    outerLayout->addLayout(formLayout);
    outerLayout->addLayout(buttonLayout);
    adjustSize();
    setFixedSize(size());
}

int QSearchDialog::searchMode() const
{
    const int row = modeList->currentIndex();
    return row >= 1 && row <= 3 ? row : 0;
}
