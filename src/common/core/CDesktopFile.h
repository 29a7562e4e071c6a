#pragma once

#include <QString>

#include <functional>

// Opens a file with the application the desktop associates with its type,
// through QDesktopServices: the file name is handed over as a URL and never
// passes through a command interpreter.
//
// Tests replace the opener to see what would be opened.
class CDesktopFile
{
public:
    using Opener = std::function<bool(const QString &absolutePath)>;

    // An empty opener restores QDesktopServices::openUrl.
    static void setOpener(Opener opener);

    // False when the path is empty, names no file, or nothing could open it.
    static bool open(const QString &path);
};
