#pragma once

#include <QIcon>
#include <QMessageBox>
#include <QString>

class QTableView;
class QTextEdit;
class QWidget;

// Pixel width of the text in the application's default font.
int textWidth(const QString &text);
// Sizes a table's column to the text of its rows (as many as the header
// measures), never below the header's minimum section size nor above
// `maximum`, so that long names show whole and the columns beside them stay
// in reach.
void fitColumnToContents(QTableView *table, int column, int maximum);
// Resizes the widget to its contents and centres it over the reference widget
// (global coordinates). Does nothing when either is null.
void centerWidget(QWidget *widget, QWidget *reference);
// The platform's icon for files with this extension (case-insensitive), or the
// resource ":/resources/icons/empty" when none can be found.
QIcon iconForExtension(const QString &extension);
// Appends the text as a new plain-text paragraph (never read as markup) at the
// end of the edit's document; the first line of an empty document starts it.
void appendPlainLine(QTextEdit *edit, const QString &text);
// The question a modified editor asks before it closes, titled with the
// window's title: Save, Discard or Cancel (Save by default), through CPrompt.
QMessageBox::StandardButton askToSaveChanges(QWidget *window);
