#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Opens a file with the application the desktop associates with its type,
// through QDesktopServices: the file name is handed over as a URL and never
// passes through a command interpreter.
//
// On freedesktop.org systems the association is looked up first, as the
// desktop's own launcher does: a ".desktop" file in an "applications" folder
// of the data folders whose MimeType lists the file's type (or a type it
// belongs to, text/plain for a C source), or a default or added association
// in a "mimeapps.list". Without one, nothing is started, so the caller can
// say so rather than leave the user waiting.
//
// Tests replace the opener to see what would be opened.
class CDesktopFile
{
public:
    enum Result
    {
        Opened,
        NoFile,        // empty path, missing file or a folder
        NoApplication, // the desktop associates nothing with the file's type
        NotOpened      // the opener refused
    };

    using Opener = std::function<bool(const QString &absolutePath)>;

    // An empty opener restores QDesktopServices::openUrl.
    static void setOpener(Opener opener);

    static Result open(const QString &path);

    // True when an application is associated with the file's type; always
    // true where the platform keeps its associations elsewhere.
    static bool hasApplication(const QString &absolutePath);

private:
    // The desktop files associated with any of `mimeTypes`.
    static QStringList associations(const QStringList &mimeTypes);
};
