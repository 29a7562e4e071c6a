#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QStringList>

// Points the freedesktop.org data and configuration folders into `folder`
// for its lifetime, so the machine's own file associations play no part. The
// file type database, which lives in the data folders too, stays reachable
// through links in folders of its own.
class PrivateDesktop
{
public:
    explicit PrivateDesktop(const QString &folder)
        : m_folder(folder)
    {
        QStringList dataDirs{folder + QStringLiteral("/data-dirs")};
        for (const QString &mime :
             QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("mime"),
                                       QStandardPaths::LocateDirectory)) {
            dataDirs << folder + QStringLiteral("/mime-%1").arg(dataDirs.size());
            QDir().mkpath(dataDirs.last());
            QFile::link(mime, dataDirs.last() + QStringLiteral("/mime"));
        }
        set("XDG_DATA_HOME", folder + QStringLiteral("/data-home"));
        set("XDG_DATA_DIRS", dataDirs.join(QLatin1Char(':')));
        set("XDG_CONFIG_HOME", folder + QStringLiteral("/config-home"));
        set("XDG_CONFIG_DIRS", folder + QStringLiteral("/config-dirs"));
    }
    ~PrivateDesktop()
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it)
            qputenv(it.key().constData(), it.value());
    }

    // Writes `relative` ("data-home/applications/x.desktop") in the folder.
    bool write(const QString &relative, const QByteArray &text) const
    {
        QFile file(m_folder + QLatin1Char('/') + relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

private:
    void set(const char *name, const QString &value)
    {
        m_saved.insert(name, qgetenv(name));
        qputenv(name, QFile::encodeName(value));
    }

    QString m_folder;
    QHash<QByteArray, QByteArray> m_saved;
};
