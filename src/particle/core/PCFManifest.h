#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class CFilePCF;
class PCFProgressSink;

// Writes a map's particle manifest: loads every particle file of a folder,
// scans the map's entity lump for "effect_name" keys, and lists the files that
// define one of the named systems. Progress and every per-item message go to
// the sink; nothing here stops at a bad file.
class PCFManifest
{
public:
    // The sink may be null.
    explicit PCFManifest(PCFProgressSink *sink);
    ~PCFManifest();
    PCFManifest(const PCFManifest &) = delete;
    PCFManifest &operator=(const PCFManifest &) = delete;

    // Beside the map: its path without ".bsp" (any case) followed by
    // "_manifest.txt"; a map path with another suffix keeps it whole.
    static QString manifestPath(const QString &mapPath);
    // The readable "*.pcf" files of the folder (names only, no links), sorted
    // by name.
    static QStringList particleFiles(const QString &folder);
    // The manifest's bytes for the given particle file names, in order.
    static QByteArray manifestText(const QStringList &fileNames);

    // The whole run over the names particleFiles gave for the folder.
    void run(const QString &mapPath, const QString &folder, const QStringList &fileNames);

    // The steps of run. load gives the number of files read.
    int load(const QString &folder, const QStringList &fileNames);
    // Opens the map read-only and scans its entity lump; false (logged) when
    // the map or its entity lump cannot be read.
    bool scanMap(const QString &mapPath);
    // Marks every loaded file that defines a system an "effect_name" names;
    // the scan ends at the first NUL byte.
    void scanEntities(const QByteArray &entities);
    // Writes the manifest of the marked files; false (logged) when none is
    // marked or the file cannot be written.
    bool writeManifest(const QString &mapPath);

    // Names of the loaded files, and of those marked, in listing order.
    QStringList loadedFiles() const;
    QStringList usedFiles() const;

private:
    struct Record
    {
        QString fileName;
        CFilePCF *document = nullptr;
        bool used = false;
    };

    void log(const QString &text, bool isError);

    PCFProgressSink *m_sink = nullptr;
    QList<Record> m_records;
};
