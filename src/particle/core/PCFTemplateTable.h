#pragma once

#include <QtGlobal>

// The parts of the three particle template documents that are the program's
// own model of each game generation (the function elements come from the
// parameter data). Values are value text as the editor shows it
// (DMXAttribute::valueString).
namespace PCFTemplateTable {

// A system attribute with its value in "default" per format (null where the
// format lacks it) and the format-3 value of "empty" where it differs.
struct SystemAttribute
{
    const char *name;
    uint type;
    const char *values[3];
    const char *emptyFormat3;
};

extern const SystemAttribute systemAttributes[];
extern const int systemAttributeCount;
extern const char *const functionLists[];
extern const int functionListCount;

// The format-3 "initializers" list holds "Color Random" eleven times, at
// these positions (from 1), each with its own colours.
extern const int colorRandomPositions[];
extern const int colorRandomCount;
extern const char *const colorRandomColors[];

} // namespace PCFTemplateTable
