#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The three particle encodings as the user picks them, in the order of their
// format codes 1 to 3.
QStringList pcfFormatNames();

// Asks for a particle encoding (not editable, the first preselected): the
// format code 1 to 3, or 0 when cancelled.
int choosePcfFormat(QWidget *parent, const QString &title);
