#pragma once

#include <QString>
#include <QStringList>

class QtSingleApplication;

// The pieces of start-up that do not need the main window: the texts of its
// boxes, the "-setCurrent" switch, the program's folder and the routing of a
// command-line file by its suffix. runApplication() puts them together.
//
// Headless runs: with the environment variable OSTREL_HEADLESS set to 1 every
// prompt (CPrompt) is written to standard error as one line
// "<kind>|<title>|<text>" and answered with its default button (Ok when it has
// none; file and input dialogs are cancelled), and start-up and argument
// routing write trace lines beginning with "ostrel:" there. End-to-end tests
// run the real program this way.
class CStartup
{
public:
    static constexpr const char *Identifier = "OSTREL";
    static constexpr const char *BoxTitle = "OSTREL";
    static constexpr const char *ConfigurationFile = "zedidavurur.ini";
    static constexpr const char *SetCurrentSwitch = "-setCurrent";
    static constexpr int MessageTimeoutMs = 5000;

    static constexpr const char *ErrorInvalidArguments = "Unknown or invalid arguments";
    static constexpr const char *ErrorSetCurrentFailed =
        "Argument Failure: Unable to set working directory.";
    static constexpr const char *ErrorSetCurrentMissing =
        "Argument Failure: No directory specified.";
    static constexpr const char *ErrorWorkingDirectory = "Unable to set working directory.";
    static constexpr const char *ErrorConfigurationMissing =
        "Configuration file \"zedidavurur.ini\" not found in working directory.";
    // Output pane lines for a command-line or forwarded file that opens
    // nothing (%1: the path as resolved).
    static constexpr const char *ErrorArgumentMissing = "Argument Failure: \"%1\" does not exist.";
    static constexpr const char *ErrorArgumentUnsupported =
        "Argument Failure: \"%1\" is not a kind of file the workbench opens.";
    // %2: the reader's own error text.
    static constexpr const char *ErrorArgumentUnreadable =
        "Argument Failure: \"%1\" could not be opened: %2";

    // Every early stop ends with this code; a forward and an empty argument
    // vector end with 0.
    static constexpr int ExitFailure = 1;

    static constexpr const char *HeadlessVariable = "OSTREL_HEADLESS";

    // What processArgument does with a path.
    enum Route
    {
        RouteNone,
        RoutePackage,  // "bsp", "gcf", "ncf", "vpk"
        RouteParticle, // "pcf"
        RouteMaterial, // "vmt"
        RouteTexture   // "vtf"
    };

    // Probes for a running instance with the empty message; when one answers,
    // sends each of `files` (see fileArguments), one message each, and
    // returns true.
    static bool forwardToRunningInstance(QtSingleApplication &application,
                                         const QStringList &files);

    // The files a command line names: every argument after the program path
    // but "-setCurrent" and the folder after it (and empty ones), each made
    // absolute against `startDirectory`, the folder the program was started
    // in. So a later start hands over paths that mean the same to the running
    // instance, wherever that one was started.
    static QStringList fileArguments(const QStringList &arguments, const QString &startDirectory);

    // Applies each "-setCurrent <folder>" pair after the program path, in
    // order (the switch is matched exactly). On failure returns false with
    // the box text in `error`.
    static bool applySetCurrent(const QStringList &arguments, QString *error);

    // The folder of the program path, resolved against the current folder.
    // A bare program name that names no file here was found on the search
    // path; then the running executable's folder is taken.
    static QString programDirectory(const QString &programPath);

    // `directory` + "/" (unless it ends in "/" or "\") + "zedidavurur.ini".
    static QString configurationPath(const QString &directory);

    // The folder relative forwarded paths are resolved against: the one the
    // running instance was started in (start-up later moves to the program's
    // own folder). Empty until set. Setting it also makes it the folder the
    // file dialogs start in until the user chooses another.
    static QString baseDirectory();
    static void setBaseDirectory(const QString &directory);
    // `path` made absolute against baseDirectory() (or the current folder).
    static QString resolvedPath(const QString &path);

    // Empty paths, missing files and unknown suffixes give RouteNone; the
    // last suffix counts, compared without regard to case.
    static Route routeFor(const QString &path);
    // The output pane line for a path that routes nowhere; empty for the
    // empty path (the probe of a later start).
    static QString refusal(const QString &path);

    // Headless runs (see above).
    static bool isHeadless();
    static void installHeadlessPrompts();
    static void trace(const QString &line);
};
