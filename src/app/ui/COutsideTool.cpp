#include "COutsideTool.h"

#include "CLauncherScript.h"
#include "CRegistryKey.h"

#include <QDir>

QString COutsideTool::launch(const QString &toolName, const QString &scriptName,
                             const QString &program, const QStringList &arguments)
{
    const QString script = QDir::current().absoluteFilePath(scriptName);
    switch (CLauncherScript::launch(script, program, arguments)) {
    case CLauncherScript::Started:
        return QString();
    case CLauncherScript::WriteFailed:
        return QString::fromLatin1(WarningInitialize).arg(toolName);
    case CLauncherScript::StartFailed:
        break;
    }
    return QString::fromLatin1(WarningStart).arg(toolName);
}

QString COutsideTool::launchEntspy()
{
    return launch(QStringLiteral("Entspy"), QStringLiteral("run_entspy.bat"),
                  QStringLiteral("java"),
                  {QStringLiteral("-jar"), QStringLiteral("./entspy/entspy.jar")});
}

QString COutsideTool::launchPakrat()
{
    return launch(QStringLiteral("Pakrat"), QStringLiteral("run_pakrat.bat"),
                  QStringLiteral("java"),
                  {QStringLiteral("-jar"), QStringLiteral("./pakrat/pakrat.jar")});
}

QString COutsideTool::quotedCommand(const QString &registryValue)
{
    const int open = registryValue.indexOf(QLatin1Char('"'));
    if (open < 0)
        return QString();
    const int close = registryValue.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0)
        return QString();
    return registryValue.mid(open, close - open + 1);
}

QString COutsideTool::launchGcfscape()
{
    // Looking is all the launcher does with the registration.
    CRegistryKey key;
    if (!key.open(CRegistryKey::ClassesRoot, QString::fromLatin1(GcfscapeKey),
                  CRegistryKey::ReadOnly))
        return QString::fromLatin1(WarningGcfscapeMissing);
    QString value;
    if (!key.readString(QString(), &value) || value.size() > GcfscapeMaxValueLength)
        return QString::fromLatin1(WarningGcfscapeUnresolved);
    key.close();

    // The script gets the program between the quotes as one word, quoted
    // for its own shell; the registration's text is never read as a
    // command line.
    const QString command = quotedCommand(value);
    const QString program = command.mid(1, command.size() - 2);
    // A script with nothing to run would start, delete itself and leave the
    // user waiting for a tool that never comes.
    if (program.trimmed().isEmpty())
        return QString::fromLatin1(WarningGcfscapeUnresolved);
    return launch(QStringLiteral("GCFScape"), QStringLiteral("run_gcfscape.bat"), program, {});
}
