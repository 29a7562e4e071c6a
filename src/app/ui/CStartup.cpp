#include "CStartup.h"

#include "CPrompt.h"
#include "QtSingleApplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
QString &baseDirectoryStore()
{
    static QString directory;
    return directory;
}

const char *kindName(CPrompt::Kind kind)
{
    switch (kind) {
    case CPrompt::Kind::Question:
        return "Question";
    case CPrompt::Kind::Information:
        return "Information";
    case CPrompt::Kind::Warning:
        return "Warning";
    case CPrompt::Kind::Critical:
        return "Critical";
    case CPrompt::Kind::Exec:
        return "Dialog";
    default:
        return "Input";
    }
}

void writeLine(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}
} // namespace

bool CStartup::forwardToRunningInstance(QtSingleApplication &application, const QStringList &files)
{
    if (!application.sendMessage(QString(), MessageTimeoutMs))
        return false;
    // Each result is ignored, as a busy instance may still open what it took.
    for (const QString &file : files)
        application.sendMessage(file, MessageTimeoutMs);
    return true;
}

QStringList CStartup::fileArguments(const QStringList &arguments, const QString &startDirectory)
{
    const QDir start(startDirectory.isEmpty() ? QDir::currentPath() : startDirectory);
    QStringList files;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String(SetCurrentSwitch)) {
            ++i; // its folder names no file either
            continue;
        }
        if (!argument.isEmpty())
            files << QDir::cleanPath(start.absoluteFilePath(argument));
    }
    return files;
}

bool CStartup::applySetCurrent(const QStringList &arguments, QString *error)
{
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) != QLatin1String(SetCurrentSwitch))
            continue;
        if (i + 1 >= arguments.size()) {
            *error = QString::fromLatin1(ErrorSetCurrentMissing);
            return false;
        }
        if (!QDir::setCurrent(arguments.at(i + 1))) {
            *error = QString::fromLatin1(ErrorSetCurrentFailed);
            return false;
        }
        ++i; // the folder is no switch, even when it reads "-setCurrent"
    }
    return true;
}

QString CStartup::programDirectory(const QString &programPath)
{
    const QFileInfo program(programPath);
    const bool bareName =
        !programPath.contains(QLatin1Char('/')) && !programPath.contains(QLatin1Char('\\'));
    if (bareName && !program.exists() && QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return program.absolutePath();
}

QString CStartup::configurationPath(const QString &directory)
{
    QString path = directory;
    if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\')))
        path += QLatin1Char('/');
    return path + QLatin1String(ConfigurationFile);
}

QString CStartup::baseDirectory()
{
    return baseDirectoryStore();
}

void CStartup::setBaseDirectory(const QString &directory)
{
    baseDirectoryStore() = directory;
    // The user is there, not in the program's folder start-up moves to: the
    // first file dialog opens there too, later ones where the last choice was.
    CPrompt::setLastDirectory(directory);
}

QString CStartup::resolvedPath(const QString &path)
{
    if (path.isEmpty())
        return path;
    const QString base = baseDirectory();
    return base.isEmpty() ? QFileInfo(path).absoluteFilePath() : QDir(base).absoluteFilePath(path);
}

CStartup::Route CStartup::routeFor(const QString &path)
{
    if (path.isEmpty())
        return RouteNone;
    const QFileInfo info(resolvedPath(path));
    if (!info.exists())
        return RouteNone;
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("bsp") || suffix == QLatin1String("gcf") ||
        suffix == QLatin1String("ncf") || suffix == QLatin1String("vpk"))
        return RoutePackage;
    if (suffix == QLatin1String("pcf"))
        return RouteParticle;
    if (suffix == QLatin1String("vmt"))
        return RouteMaterial;
    if (suffix == QLatin1String("vtf"))
        return RouteTexture;
    return RouteNone;
}

QString CStartup::refusal(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const QString resolved = resolvedPath(path);
    if (!QFileInfo::exists(resolved))
        return QString::fromLatin1(ErrorArgumentMissing).arg(resolved);
    if (routeFor(resolved) == RouteNone)
        return QString::fromLatin1(ErrorArgumentUnsupported).arg(resolved);
    return QString();
}

bool CStartup::isHeadless()
{
    return qEnvironmentVariableIntValue(HeadlessVariable) == 1;
}

void CStartup::installHeadlessPrompts()
{
    CPrompt::setHandler([](const CPrompt::Request &request) {
        writeLine(QString::fromLatin1(kindName(request.kind)) + QLatin1Char('|') + request.title +
                  QLatin1Char('|') + request.text);
        CPrompt::Answer answer;
        answer.button = request.defaultButton != QMessageBox::NoButton ? request.defaultButton
                                                                       : QMessageBox::Ok;
        return answer;
    });
}

void CStartup::trace(const QString &line)
{
    if (isHeadless())
        writeLine(QStringLiteral("ostrel: ") + line);
}
