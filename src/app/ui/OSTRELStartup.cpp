#include "OSTRELStartup.h"

#include "CPrompt.h"
#include "CStartup.h"
#include "OSTREL.h"
#include "QtSingleApplication.h"
#include "VSettings.h"
#include "initResources.h"

#include <Magick++.h>

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>

namespace {
// Start-up boxes have no parent, the title "OSTREL" and Ok as default.
int stop(CPrompt::Kind kind, const QString &text)
{
    const QString title = QString::fromLatin1(CStartup::BoxTitle);
    if (kind == CPrompt::Kind::Warning)
        CPrompt::warning(nullptr, title, text, QMessageBox::Ok, QMessageBox::Ok);
    else
        CPrompt::critical(nullptr, title, text, QMessageBox::Ok, QMessageBox::Ok);
    return CStartup::ExitFailure;
}
} // namespace

int runApplication(int &argc, char **argv)
{
    Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);
    initResources();
    if (argc <= 0)
        return 0;

    QtSingleApplication application(QString::fromLatin1(CStartup::Identifier), argc, argv);
    QCoreApplication::setAttribute(Qt::AA_DontShowIconsInMenus, false);
    if (CStartup::isHeadless())
        CStartup::installHeadlessPrompts();

    // Local 8-bit decoding here; the messages between instances are UTF-8,
    // so non-ASCII names survive the hand-over. Relative names mean the
    // folder the user started the program in, which start-up leaves below.
    const QStringList arguments = QCoreApplication::arguments();
    const QString startDirectory = QDir::currentPath();
    const QStringList files = CStartup::fileArguments(arguments, startDirectory);
    if (CStartup::forwardToRunningInstance(application, files)) {
        CStartup::trace(QStringLiteral("forwarded %1 files").arg(files.size()));
        return 0;
    }

    const QString programPath = arguments.value(0);
    if (programPath.isEmpty())
        return stop(CPrompt::Kind::Critical, QString::fromLatin1(CStartup::ErrorInvalidArguments));
    QString error;
    if (!CStartup::applySetCurrent(arguments, &error))
        return stop(CPrompt::Kind::Warning, error);
    const QString directory = CStartup::programDirectory(programPath);
    if (!QDir::setCurrent(directory))
        return stop(CPrompt::Kind::Critical, QString::fromLatin1(CStartup::ErrorWorkingDirectory));
    CStartup::setBaseDirectory(startDirectory);
    if (!QFileInfo::exists(CStartup::configurationPath(directory)))
        return stop(CPrompt::Kind::Critical,
                    QString::fromLatin1(CStartup::ErrorConfigurationMissing));

    VSettings::instance();
    OSTREL *window = OSTREL::instance(argc, argv);
    if (CStartup::isHeadless()) {
        QObject::connect(&application, &QtSingleApplication::messageReceived,
                         [](const QString &message) {
                             CStartup::trace(QStringLiteral("message \"%1\"").arg(message));
                         });
    }
    QObject::connect(&application, &QtSingleApplication::messageReceived, window,
                     &OSTREL::processArgument);
    // A later start brings the window forward: its files open here, and a
    // start without files is a user looking for the program.
    application.setActivationWindow(window, true);
    window->show();
    CStartup::trace(QStringLiteral("main window shown"));

    for (const QString &file : files)
        window->processArgument(file);
    CStartup::trace(
        QStringLiteral("started, %1 windows").arg(window->mdiArea()->subWindowList().size()));

    const int result = application.exec();
    delete window;
    return result;
}
