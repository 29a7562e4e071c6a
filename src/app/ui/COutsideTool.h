#pragma once

#include <QString>
#include <QStringList>

// The three outside tools the main window can launch (Entspy, Pakrat,
// GCFScape): each is started through a self-deleting launcher script in the
// working folder. launch() returns the warning the main window shows, or an
// empty text when the tool was started.
class COutsideTool
{
public:
    static constexpr const char *WarningInitialize = "Unable to initialize launcher for %1.";
    static constexpr const char *WarningStart = "Unable to start %1 as a detatched process.";
    static constexpr const char *WarningGcfscapeMissing =
        "GCFScape doesn't appear to be installed.";
    // Also when the registration names no program between its quotes.
    static constexpr const char *WarningGcfscapeUnresolved =
        "Unable to resolve path of GCFScape.exe.";

    // GCFScape's registration, a key under HKEY_CLASSES_ROOT; its default
    // value is the command line that opens a file.
    static constexpr const char *GcfscapeKey = "\\Applications\\GCFScape.exe\\shell\\open\\command";
    // The registration is read into a buffer of 255 UTF-16 units, the last
    // one for the terminating zero.
    static constexpr int GcfscapeMaxValueLength = 254;

    static QString launchEntspy();
    static QString launchPakrat();
    static QString launchGcfscape();

    // The registered command's program: the text from the first double quote
    // through the next one, quotes included; empty without a complete pair.
    static QString quotedCommand(const QString &registryValue);

private:
    static QString launch(const QString &toolName, const QString &scriptName,
                          const QString &program, const QStringList &arguments);
};
