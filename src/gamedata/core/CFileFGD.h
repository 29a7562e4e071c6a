#pragma once

#include "FGDRecords.h"
#include "IFileClass.h"

#include <QStringList>

#include <functional>

// An entity definition document (".fgd"): the includes and material
// exclusions it names, its auto visgroups and its entity classes. Read only:
// the editor changes it in memory and it is never written.
class CFileFGD : public IFileClass<CFileFGD>
{
public:
    // Told the lowercased name of each helper the parser does not know. The
    // core shows no dialog: the program installs one that asks the user;
    // without one the name goes to the warning channel.
    using UnknownItemHook = std::function<void(const QByteArray &name)>;

    CFileFGD();
    ~CFileFGD() override;

    using IFileClass<CFileFGD>::write;
    // Reads the whole device and parses it; appends to what the document
    // already holds. False on a device error or a syntax error, with a reason.
    bool read(QDataStream &stream) override;
    // Entity definitions are never saved: writes nothing and fails.
    bool write(QDataStream &stream) override;

    // The parser on bytes already in memory (what read() runs).
    bool parse(const QByteArray &text);

    // Returns the hook it replaces; an empty hook restores the default.
    static UnknownItemHook setUnknownItemHook(UnknownItemHook hook);
    static void reportUnknownItem(const QByteArray &name);

    QStringList includes;           // names as written, each ending in ".fgd", unique ignoring case
    QStringList materialExclusions; // unique ignoring case
    QVector<FGDAutoVisgroup> autoVisgroups;
    QVector<FGDEntityClass> classes; // in file order, duplicates kept
};
