#pragma once

#include "PCFKeptList.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class CFilePCF;
class PCFDelegate;
class PCFProgressSink;

// Work on many particle files at once: read them all, change the documents
// in memory, write back the ones that changed. A file that fails to read,
// convert or write is reported through the sink and the run goes on; a file
// is replaced only by a complete new file. What a conversion drops is
// reported too (as a message that is no failure), one line per system.
class PCFBatch
{
public:
    enum Mode
    {
        // Null and repeated GUIDs are renewed across all files together.
        EnsureUniqueGuids = 0,
        // Every file is converted to one encoding.
        MassFormat = 1,
    };

    // The delegate reads, converts and writes (a local one when null); the
    // sink may be null.
    PCFBatch(PCFDelegate *delegate, PCFProgressSink *sink);
    ~PCFBatch();
    PCFBatch(const PCFBatch &) = delete;
    PCFBatch &operator=(const PCFBatch &) = delete;

    // The whole run of a mode: read, change, write. `target` is the encoding
    // of MassFormat (1 to 3), its template the system "default" of entry
    // `target` of `templates`, what its games know beyond that entry `target`
    // of `kept`. Any other mode does nothing (false).
    bool run(int mode, const QStringList &paths, int target = 0,
             const QList<CFilePCF *> &templates = {}, const QVector<PCFKeptList> &kept = {});

    // The steps of run, for callers that look in between.
    void read(const QStringList &paths);
    void ensureUniqueGuids();
    void convert(int target, const QList<CFilePCF *> &templates,
                 const QVector<PCFKeptList> &kept = {});
    void writeChanged();

    // The files read, in order, with their documents and changed flags.
    const QStringList &paths() const { return m_paths; }
    CFilePCF *document(int index) const;
    bool changed(int index) const;
    int elementTotal() const;
    // The paths written by writeChanged, in order.
    const QStringList &written() const { return m_written; }
    // Every message of the run (failures and what conversions dropped), in
    // the order the sink got them.
    const QStringList &log() const { return m_log; }

private:
    struct Record
    {
        CFilePCF *document = nullptr;
        bool changed = false;
    };

    void report(const QString &text, bool isError = true);
    void clear();

    PCFDelegate *m_delegate = nullptr;
    PCFDelegate *m_ownDelegate = nullptr;
    PCFProgressSink *m_sink = nullptr;
    QStringList m_paths;
    QList<Record> m_records;
    QStringList m_written;
    QStringList m_log;
};
