#pragma once

#include <QGenericArgument>

class QWidget;

// Opening a further document in a tool: the main window has a show-slot per
// tool ("showVVTF", ...), reached by name because a tool library does not
// link the application's own. Each returns whether the window took the
// document; on false the caller keeps it (and usually shows a window of its
// own instead).
namespace MainWindowTools {

// Asks `mainWindow` (null: none) to run its slot `slot` with the arguments.
bool openIn(QWidget *mainWindow, const char *slot, QGenericArgument first = QGenericArgument(),
            QGenericArgument second = QGenericArgument());
// The same with the process-wide main window, if there is one.
bool open(const char *slot, QGenericArgument first = QGenericArgument(),
          QGenericArgument second = QGenericArgument());

} // namespace MainWindowTools
