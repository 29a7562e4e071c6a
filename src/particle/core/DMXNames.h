#pragma once

#include <QString>
#include <QtGlobal>

// Attribute names, each text held once for the whole program and known to an
// attribute by a small number. A large file repeats a few thousand names
// millions of times; the number keeps an attribute small, and comparing two
// names is comparing two numbers.
namespace DMXNames {

// Numbers are below this (they fit the attribute's 25 bits).
constexpr quint32 Capacity = quint32(1) << 25;

// The number of a name, entered when new; 0 is the empty name. Returns
// Capacity (and enters nothing) when the table is full.
quint32 intern(const QString &name);
// The text of a number from intern(); stays valid for the life of the
// program. Unknown numbers give the empty name.
const QString &text(quint32 id);
// True while `count` more names can still be entered.
bool hasRoom(quint32 count);

} // namespace DMXNames
