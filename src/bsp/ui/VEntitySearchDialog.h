#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QLineEdit;

// The number dialog of the entity editor's searches in space: columns of
// labelled fields, each starting at "0", above Ok and Cancel.
class VEntitySearchDialog : public QDialog
{
    Q_OBJECT

public:
    // One form per column, side by side; the fields are named "field0",
    // "field1", ... in column order.
    VEntitySearchDialog(QWidget *parent, const QString &title, const QString &icon,
                        const QList<QStringList> &columns);

    // The fields' texts in order.
    QStringList texts() const;

    // The box and the sphere searches.
    static VEntitySearchDialog *box(QWidget *parent);
    static VEntitySearchDialog *sphere(QWidget *parent);

private:
    QList<QLineEdit *> m_fields;
};
