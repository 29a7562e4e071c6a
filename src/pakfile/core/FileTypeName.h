#pragma once

#include <QString>

// Display type of an asset from the complete suffix of its file name, as
// CPath splits a name ("dx90.vtx" for "model.dx90.vtx"). Suffixes match
// whole and with regard to case; anything unknown, the empty suffix
// included, is "Other". The pakfile tables show it and the pakfile status
// counts by it.
QString fileTypeName(const QString &suffix);
