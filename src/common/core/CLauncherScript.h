#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A small script that runs one outside program and then deletes itself,
// started as a detached process so that the program outlives the workbench.
// On Windows it is a batch file ("@ECHO OFF", the command, "DEL %0"); elsewhere
// a POSIX shell script doing the same. The command is given as a program and
// its arguments, which are quoted for the script's shell here, so no text
// that came from a file or the registry is ever read as shell syntax.
//
// The script is created anew (an existing file or link of that name is
// replaced, never written through) with owner read/write/execute and
// read/execute for everyone else.
//
// Tests replace the starter to see what would be started without starting it.
class CLauncherScript
{
public:
    enum Result
    {
        Started,
        WriteFailed, // the script could not be written; no file is left
        StartFailed  // the script did not start; it has been deleted again
    };

    // Starts `program` detached in `workingDirectory`; true when it started.
    using Starter = std::function<bool(const QString &program, const QString &workingDirectory)>;

    // An empty starter restores QProcess::startDetached.
    static void setStarter(Starter starter);

    // The script's full text for `program` and `arguments`. An empty program
    // gives a script with an empty command line, which only deletes itself.
    static QString scriptText(const QString &program, const QStringList &arguments);

    // Writes the script to `scriptPath` and starts it, with the script's
    // directory as working directory.
    static Result launch(const QString &scriptPath, const QString &program,
                         const QStringList &arguments);

    // One word quoted for the script's shell (left as it is when it needs no
    // quoting).
    static QString quoted(const QString &word);
};
