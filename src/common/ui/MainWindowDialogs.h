#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The file dialogs every tool asks through: the main window's shared ones
// (with its remembered folder) when there is a main window, else the prompt
// seam's own, so a tool built alone in a test still asks through CPrompt.
// Cancelling gives an empty result.
namespace MainWindowDialogs {

QString openFileName(QWidget *parent, const QString &caption, const QString &filter);
QStringList openFileNames(QWidget *parent, const QString &caption, const QString &filter);
QString saveFileName(QWidget *parent, const QString &caption, const QString &filter);
QString existingDirectory(QWidget *parent, const QString &caption);

} // namespace MainWindowDialogs
