#include "QWidgetDialog.h"

#include "uifunctions.h"

#include <QVBoxLayout>

QWidgetDialog::QWidgetDialog(QWidget *content, QWidget *parent,
                             QDialogButtonBox::StandardButtons standardButtons)
    : QDialog(parent)
    , widget(content)
{
    buttons = new QDialogButtonBox(standardButtons, Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    mainLayout = new QVBoxLayout(this);
    if (widget)
        mainLayout->addWidget(widget);
    mainLayout->addWidget(buttons);

    adjustSize();
    setFixedSize(size());

    if (parent) {
        setWindowTitle(parent->windowTitle());
        centerWidget(this, parent);
    }
}
