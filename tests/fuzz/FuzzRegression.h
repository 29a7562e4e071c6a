#pragma once

#include <QByteArray>
#include <QList>

// A regression input too large to keep as a file is made by code: one .cpp
// file in regressions/<target>/ (compiled into that target's replay test)
// holding
//
//   #include "FuzzRegression.h"
//   FUZZ_REGRESSION(quadratic_directory) { return ...bytes...; }
namespace FuzzRegression {

using Maker = QByteArray (*)();

struct Entry
{
    const char *name;
    Maker make;
};

inline QList<Entry> &registry()
{
    static QList<Entry> entries;
    return entries;
}

struct Registrar
{
    Registrar(const char *name, Maker make) { registry().append({name, make}); }
};

} // namespace FuzzRegression

#define FUZZ_REGRESSION(name)                                                                      \
    static QByteArray fuzzRegression_##name();                                                     \
    static const FuzzRegression::Registrar fuzzRegistrar_##name(#name, fuzzRegression_##name);     \
    static QByteArray fuzzRegression_##name()
