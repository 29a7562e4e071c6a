#include "VEntitySearchDialog.h"

#include "uifunctions.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QVBoxLayout>

VEntitySearchDialog::VEntitySearchDialog(QWidget *parent, const QString &title, const QString &icon,
                                         const QList<QStringList> &columns)
    : QDialog(parent)
{
    setWindowTitle(title);
    setWindowIcon(QIcon(icon));
    auto *layout = new QVBoxLayout(this);
    auto *forms = new QHBoxLayout;
    for (const QStringList &labels : columns) {
        auto *form = new QFormLayout;
        for (const QString &label : labels) {
            auto *field = new QLineEdit(QStringLiteral("0"), this);
            field->setObjectName(QStringLiteral("field%1").arg(m_fields.size()));
            m_fields.append(field);
            form->addRow(label, field);
        }
        forms->addLayout(form);
    }
    layout->addLayout(forms);
    auto *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    centerWidget(this, parent);
    setFixedSize(size());
}

QStringList VEntitySearchDialog::texts() const
{
    QStringList list;
    for (const QLineEdit *field : m_fields)
        list << field->text();
    return list;
}

VEntitySearchDialog *VEntitySearchDialog::box(QWidget *parent)
{
    return new VEntitySearchDialog(
        parent, QStringLiteral("Find In Rectangular Prism"),
        QStringLiteral(":/resources/icons/cube_wireframe"),
        {{QStringLiteral("Minimum X:"), QStringLiteral("Minimum Y:"), QStringLiteral("Minimum Z:")},
         {QStringLiteral("Maximum X:"), QStringLiteral("Maximum Y:"),
          QStringLiteral("Maximum Z:")}});
}

VEntitySearchDialog *VEntitySearchDialog::sphere(QWidget *parent)
{
    return new VEntitySearchDialog(parent, QStringLiteral("Find In Sphere"),
                                   QStringLiteral(":/resources/icons/sphere"),
                                   {{QStringLiteral("Origin X:"), QStringLiteral("Origin Y:"),
                                     QStringLiteral("Origin Z:"), QStringLiteral("Radius:")}});
}
