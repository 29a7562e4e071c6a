#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QStringList>

// Points the freedesktop.org data and configuration folders (XDG_DATA_HOME,
// XDG_DATA_DIRS, XDG_CONFIG_HOME, XDG_CONFIG_DIRS) into `folder` for its
// lifetime, so the machine's own file associations play no part. The file
// type database, which lives in the data folders too, stays reachable through
// links in folders that hold nothing else.
class PrivateDesktop
{
public:
    explicit PrivateDesktop(const QString &folder)
        : m_folder(folder)
    {
        QStringList dataDirs{path(QStringLiteral("data-dirs"))};
        const QStringList mimeFolders =
            QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("mime"),
                                      QStandardPaths::LocateDirectory);
        for (const QString &mime : mimeFolders) {
            const QString holder = path(QStringLiteral("mime-%1").arg(dataDirs.size()));
            QDir().mkpath(holder);
            QFile::link(mime, holder + QStringLiteral("/mime"));
            dataDirs << holder;
        }
        set("XDG_DATA_HOME", path(QStringLiteral("data-home")));
        set("XDG_DATA_DIRS", dataDirs.join(QLatin1Char(':')));
        set("XDG_CONFIG_HOME", path(QStringLiteral("config-home")));
        set("XDG_CONFIG_DIRS", path(QStringLiteral("config-dirs")));
    }

    ~PrivateDesktop()
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value().isNull())
                qunsetenv(it.key().constData());
            else
                qputenv(it.key().constData(), it.value());
        }
    }

    PrivateDesktop(const PrivateDesktop &) = delete;
    PrivateDesktop &operator=(const PrivateDesktop &) = delete;

    // `relative` inside the folder ("data-home/applications/x.desktop").
    QString path(const QString &relative) const { return m_folder + QLatin1Char('/') + relative; }

    // Writes a file inside the folder; false when it cannot.
    bool write(const QString &relative, const QByteArray &text) const
    {
        const QString target = path(relative);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile file(target);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

    // An application of the user's own that opens the given types.
    bool addApplication(const QString &name, const QByteArray &mimeTypes) const
    {
        return write(QStringLiteral("data-home/applications/") + name + QStringLiteral(".desktop"),
                     "[Desktop Entry]\nType=Application\nName=" + name.toUtf8() +
                         "\nExec=true %f\nMimeType=" + mimeTypes + "\n");
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
