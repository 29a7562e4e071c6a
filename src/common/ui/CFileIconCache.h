#pragma once

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QString>
#include <QVector>

// The desktop's icon and type name per file extension, for entries that are
// not files on disk (archive entries). The platform is asked once per
// extension, through a real, empty temporary file with that extension; the
// answer is kept for the rest of the run. An extension whose probe fails gets
// no entry and is probed again next time.
//
// Extensions are given without the leading dot and matched after lower-casing
// and trimming.
class CFileIconCache
{
public:
    CFileIconCache();

    QIcon icon(const QString &extension);
    QString typeName(const QString &extension);
    // Probes the platform for the extension and appends an entry; false when
    // the extension is empty, already cached, or the probe fails.
    bool add(const QString &extension);

    int count() const { return m_entries.size(); }

private:
    struct Entry
    {
        QString extension;
        QIcon icon;
        QString typeName;
    };

    static QString normalized(const QString &extension);
    int indexOf(const QString &normalizedExtension) const;
    // The entry for the extension, probing on a miss; -1 when none.
    int lookup(const QString &extension);

    QIcon m_defaultIcon;
    QString m_defaultTypeName;
    QFileIconProvider m_iconProvider;
    QFileInfo m_probe;
    QVector<Entry> m_entries;
};
