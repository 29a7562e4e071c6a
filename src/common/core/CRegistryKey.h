#pragma once

#include <QString>
#include <QtGlobal>

// One key of the registry store: the place where tools keep the settings that
// other programs read from the Windows registry (the map editor's viewports,
// an outside tool's registration). Here the store is a text file laid out
// like a .reg export, one section per key, named after its root and path:
//
//     [HKEY_CLASSES_ROOT\Applications\GCFScape.exe\shell\open\command]
//     @="C:\Program Files\GCFScape\GCFScape.exe" "%1"
//
//     [HKEY_CURRENT_USER\Software\Valve\Hammer\Splitter]
//     DrawType0,0=dword:00000002
//
// One value a line, "name=value": the key's default value is named "@", a
// 32-bit value is "dword:" and one to eight hex digits (eight when written),
// anything else is a string and is taken exactly as written after the first
// "=" (quotes, backslashes and "%1" included; blanks at its ends are dropped). A name may stand in
// double quotes, which are not part of it. Lines starting with ";" or "#"
// are comments. Key and value names are matched without regard to case, as
// the registry does. Writing keeps every other line of the file as it was.
//
//     CRegistryKey key;
//     if (key.open(CRegistryKey::CurrentUser, "Software\\Valve\\Hammer\\Splitter")) {
//         quint32 view = 0;
//         if (key.readDword("DrawType0,0", &view)) ...
//     }
//
// A key exists once its section (or a section below it) is in the file;
// open() never creates one, create() does with the first value written.
// The file's location is storeFile(): setStoreFile() (tests), else the
// environment variable OSTREL_REGISTRY_FILE, else "registry.ini" in the
// user's configuration folder for the program.
class CRegistryKey
{
public:
    enum Root
    {
        CurrentUser,
        ClassesRoot
    };

    enum Access
    {
        ReadOnly,
        ReadWrite
    };

    static constexpr const char *EnvironmentVariable = "OSTREL_REGISTRY_FILE";

    static QString storeFile();
    // An empty path returns to the environment or the default location.
    static void setStoreFile(const QString &path);

    CRegistryKey() = default;

    // Opens an existing key; false when the store has no such key.
    bool open(Root root, const QString &path, Access access = ReadWrite);
    // Opens the key for writing whether or not it exists yet; false for a
    // path that cannot stand in a section line (a line break).
    bool create(Root root, const QString &path);
    void close();
    bool isOpen() const { return m_open; }

    // An empty name is the key's default value. A read fails when the value
    // is missing or has the other type.
    bool readString(const QString &name, QString *value) const;
    bool readDword(const QString &name, quint32 *value) const;
    // Fail on a key opened read-only, when the store cannot be written, and
    // for what would not read back the same: a name with "=" or a line break,
    // a value with a line break or blanks at its ends, a string that reads as
    // a 32-bit value.
    bool writeString(const QString &name, const QString &value);
    bool writeDword(const QString &name, quint32 value);

private:
    bool readRaw(const QString &name, QString *raw) const;
    bool writeRaw(const QString &name, const QString &raw);

    bool m_open = false;
    Access m_access = ReadOnly;
    QString m_section;
};
