#pragma once

#include <QtGlobal>

// The contents of the three particle template documents as data. Each row
// names the formats it belongs to as a mask of bits 1 << format (1 to 3);
// values are value text as the editor shows it (DMXAttribute::valueString).
namespace PCFTemplateTable {

constexpr uint F1 = 1u << 1;
constexpr uint F2 = 1u << 2;
constexpr uint F3 = 1u << 3;
constexpr uint AllFormats = F1 | F2 | F3;

inline bool inFormat(uint formats, int format)
{
    return format >= 1 && format <= 3 && (formats & (1u << format));
}

// A system attribute with its value in "default" per format (null where the
// format lacks it) and the format-3 value of "empty" where it differs.
struct SystemAttribute
{
    const char *name;
    uint type;
    const char *values[3];
    const char *emptyFormat3;
};

// A function of one of the system's lists, and the formats whose "default"
// holds it.
struct Function
{
    const char *list;
    const char *name;
    uint formats;
};

// One parameter of a function, with its default value, in the formats given.
struct Parameter
{
    const char *function;
    const char *name;
    uint type;
    const char *value;
    uint formats;
};

// The parameters every function carries, after "functionName" (formats 1 and
// 2) or after its own parameters (format 3).
struct OperatorParameter
{
    const char *name;
    uint type;
    const char *value;
    uint formats;
    // False for "Move Particles Between 2 Control Points".
    bool everyFunction;
};

extern const SystemAttribute systemAttributes[];
extern const int systemAttributeCount;
extern const char *const functionLists[];
extern const int functionListCount;
extern const Function functions[];
extern const int functionCount;
extern const Parameter parameters[];
extern const int parameterCount;
extern const OperatorParameter operatorParameters[];
extern const int operatorParameterCount;

// The format-3 "initializers" list holds "Color Random" eleven times, at
// these positions (from 1), each with its own colours.
extern const int colorRandomPositions[];
extern const int colorRandomCount;
extern const char *const colorRandomColors[];

} // namespace PCFTemplateTable
