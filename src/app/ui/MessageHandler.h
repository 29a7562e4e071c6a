#pragma once

#include <QString>
#include <QtGlobal>

// The process-wide message handler: every debug, warning and critical message
// becomes one line in the main window's output pane ("Debug: ", "Warning: ",
// "Critical: " in front). It never creates the main window: without one the
// line goes to stderr. Messages from other threads are queued to the
// interface thread, and a message raised while a message is being handled
// goes to stderr instead of recursing. A fatal message shows a critical box
// (on the interface thread, with a main window) and ends the program.
void installMessageHandler();

// The line the pane shows for a message: its prefix and the text, as is.
QString messageLine(QtMsgType type, const QString &message);

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// True on the thread the application object lives on; false before there is one.
bool onInterfaceThread();
// One line on stderr, flushed, in the local 8-bit encoding.
void writeToStderr(const QString &line);
