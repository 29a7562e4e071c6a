#pragma once

#include <QString>
#include <QtGlobal>

// One key of the registry store: the place where tools keep the settings that
// other programs read from the Windows registry (the map editor's viewports,
// an outside tool's registration). Here the store is an INI file, laid out
// like a .reg export: one section per key, named after its root and path;
// string values as text and 32-bit values as "dword:xxxxxxxx"; the key's
// default value under the name "@".
//
//     CRegistryKey key;
//     if (key.open(CRegistryKey::CurrentUser, "Software\\Valve\\Hammer\\Splitter")) {
//         quint32 view = 0;
//         if (key.readDword("DrawType0,0", &view)) ...
//     }
//
// A key exists once it holds a value; open() never creates one, create() does.
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

    // Opens an existing key; false when the key holds nothing.
    bool open(Root root, const QString &path, Access access = ReadWrite);
    // Opens the key for writing whether or not it exists yet.
    bool create(Root root, const QString &path);
    void close();
    bool isOpen() const { return m_open; }

    // An empty name is the key's default value. A read fails when the value
    // is missing or has the other type.
    bool readString(const QString &name, QString *value) const;
    bool readDword(const QString &name, quint32 *value) const;
    // Fails on a key opened read-only or when the store cannot be written.
    bool writeString(const QString &name, const QString &value);
    bool writeDword(const QString &name, quint32 value);

private:
    bool readRaw(const QString &name, QString *raw) const;
    bool writeRaw(const QString &name, const QString &raw);

    bool m_open = false;
    Access m_access = ReadOnly;
    QString m_group;
};
