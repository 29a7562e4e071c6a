#pragma once

#include <QString>

class QWidget;

// The main window's file dialogs, which remember the last folder; the plain
// prompts when the editor runs without a main window.
namespace VVTFDialogs {
QString openFileName(QWidget *parent, const QString &caption, const QString &filter);
QString saveFileName(QWidget *parent, const QString &caption, const QString &filter);
QString existingDirectory(QWidget *parent, const QString &caption);
} // namespace VVTFDialogs
