#pragma once

#include <QDialog>
#include <QDialogButtonBox>

class QVBoxLayout;

// Shows one caller-built widget above a row of standard buttons, at a fixed
// size. The dialog takes the widget over and deletes it with itself. With a
// parent it takes the parent's title and centres itself on it.
class QWidgetDialog : public QDialog
{
    Q_OBJECT

public:
    QWidgetDialog(QWidget *widget, QWidget *parent, QDialogButtonBox::StandardButtons buttons);

    QVBoxLayout *mainLayout = nullptr;
    QWidget *widget = nullptr;
    QDialogButtonBox *buttons = nullptr;
};
