#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The package viewer's search question: a query, a match mode (the rows of
// CPackageSearch::Mode) and a case switch. Built once per viewer and kept, so
// the last query, mode and case setting are offered again.
class QSearchDialog : public QDialog
{
    Q_OBJECT

public:
    explicit QSearchDialog(QWidget *parent = nullptr);

    // The mode list's row when it is 1, 2 or 3, otherwise 0.
    int searchMode() const;

    QVBoxLayout *outerLayout = nullptr;
    QFormLayout *formLayout = nullptr;
    QLineEdit *query = nullptr;
    QComboBox *modeList = nullptr;
    QHBoxLayout *buttonLayout = nullptr;
    QCheckBox *caseSensitive = nullptr;
    QPushButton *buttonOk = nullptr;
    QPushButton *buttonCancel = nullptr;
};
