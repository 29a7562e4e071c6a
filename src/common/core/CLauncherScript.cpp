#include "CLauncherScript.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {
CLauncherScript::Starter &starterOverride()
{
    static CLauncherScript::Starter starter;
    return starter;
}

bool startDetached(const QString &program, const QString &workingDirectory)
{
    return QProcess::startDetached(program, QStringList(), workingDirectory);
}

#ifdef Q_OS_WIN
const char *const ScriptHead = "@ECHO OFF\n";
const char *const ScriptTail = "\nDEL %0";
#else
const char *const ScriptHead = "#!/bin/sh\n";
// "$0" is the path the script was started by, which launch() makes absolute.
const char *const ScriptTail = "\nrm -f -- \"$0\"\n";
#endif
} // namespace

void CLauncherScript::setStarter(Starter starter)
{
    starterOverride() = std::move(starter);
}

QString CLauncherScript::quoted(const QString &word)
{
#ifdef Q_OS_WIN
    // cmd.exe expands %NAME% even inside quotes; doubling the sign keeps it.
    QString text = word;
    text.replace(QLatin1Char('%'), QLatin1String("%%"));
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:\\\\=+,-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    return QLatin1Char('"') + text + QLatin1Char('"');
#else
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:@%+=,-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    // Inside single quotes the shell expands nothing; a quote itself is
    // closed, escaped and reopened.
    QString text = word;
    text.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
#endif
}

QString CLauncherScript::scriptText(const QString &program, const QStringList &arguments)
{
    QStringList words;
    if (!program.isEmpty()) {
        words << quoted(program);
        for (const QString &argument : arguments)
            words << quoted(argument);
    }
    return QLatin1String(ScriptHead) + words.join(QLatin1Char(' ')) + QLatin1String(ScriptTail);
}

CLauncherScript::Result CLauncherScript::launch(const QString &scriptPath, const QString &program,
                                                const QStringList &arguments)
{
    const QFileInfo info(scriptPath);
    const QString absolutePath = info.absoluteFilePath();

    // Replace rather than overwrite: writing through an existing file would
    // follow a link planted under the script's name.
    if (info.exists() || info.isSymLink())
        QFile::remove(absolutePath);
    QFile file(absolutePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Text))
        return WriteFailed;
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadUser | QFile::WriteUser | QFile::ExeUser |
                                           QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                           QFile::ExeOther;
    const QByteArray text = scriptText(program, arguments).toLocal8Bit();
    const bool written = file.setPermissions(permissions) && file.write(text) == text.size();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        QFile::remove(absolutePath);
        return WriteFailed;
    }

    const Starter &starter = starterOverride();
    const bool started = starter ? starter(absolutePath, info.absolutePath())
                                 : startDetached(absolutePath, info.absolutePath());
    if (!started) {
        QFile::remove(absolutePath);
        return StartFailed;
    }
    return Started;
}
