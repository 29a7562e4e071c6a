#pragma once

#include <QString>
#include <QStringList>

// The main window's shared file dialogs (with its remembered folder), or the
// prompt seam's own when the material tools run without a main window.
namespace MaterialDialogs {

inline const char *const VmtFilter = "Valve Material Type (*.vmt)";

QString openFileName(const QString &caption, const QString &filter);
QStringList openFileNames(const QString &caption, const QString &filter);
QString saveFileName(const QString &caption, const QString &filter);

} // namespace MaterialDialogs
