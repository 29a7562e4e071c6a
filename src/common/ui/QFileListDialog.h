#pragma once

#include "QListDialog.h"

class QPushButton;

// A list dialog the user fills with files ("Browse...", duplicates allowed)
// and prunes ("Remove"). Accepted counts as a choice when the list holds at
// least one file, selected or not.
class QFileListDialog : public QListDialog
{
    Q_OBJECT

public:
    explicit QFileListDialog(const QString &filter, QWidget *parent = nullptr);

    // The listed paths, in list order.
    QStringList files() const;

    QString filter;
    QPushButton *buttonBrowse = nullptr;
    QPushButton *buttonRemove = nullptr;

public slots:
    int execute() override;

protected slots:
    void addFiles();
    void removeFiles();
};
