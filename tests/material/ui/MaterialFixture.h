#pragma once

#include "CConfig.h"
#include "CPrompt.h"
#include "IMainWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

// Answers the tools' questions in order (files, then buttons) and keeps what
// was asked. An unscripted question is cancelled.
struct PromptScript
{
    PromptScript &files(const QStringList &paths)
    {
        CPrompt::Answer a;
        a.ok = true;
        a.text = paths.value(0);
        a.texts = paths;
        answers << a;
        return *this;
    }
    PromptScript &button(QMessageBox::StandardButton button)
    {
        CPrompt::Answer a;
        a.button = button;
        a.result = button;
        answers << a;
        return *this;
    }

    QList<CPrompt::Answer> answers;
    QList<CPrompt::Request> asked;
    // Title, text and informative text of each message box run through exec.
    QStringList boxes;
    CPrompt::ScopedHandler handler{[this](const CPrompt::Request &request) {
        asked << request;
        if (auto *box = qobject_cast<QMessageBox *>(request.dialog))
            boxes << request.title + '|' + box->text() + '|' + box->informativeText();
        return answers.isEmpty() ? CPrompt::Answer() : answers.takeFirst();
    }};
};

// Stands in for the main window; records the editors it is asked to open.
class FakeMainWindow : public QWidget, public IMainWindow
{
    Q_OBJECT

public:
    FakeMainWindow() { setInstance(this); }
    ~FakeMainWindow() override { setInstance(nullptr); }
    QWidget *mainWindowWidget() override { return this; }
    QString getOpenFileName(QWidget *p, const QString &c, const QString &f,
                            const QString &d) override
    {
        return CPrompt::getOpenFileName(p, c, d, f);
    }
    QStringList getOpenFileNames(QWidget *, const QString &, const QString &,
                                 const QString &) override
    {
        return {};
    }
    QString getSaveFileName(QWidget *p, const QString &c, const QString &f,
                            const QString &d) override
    {
        return CPrompt::getSaveFileName(p, c, d, f);
    }
    QString getExistingDirectory(QWidget *, const QString &, const QString &) override
    {
        return {};
    }
    void openToolWindow(QWidget *tool) override { delete tool; }
    void registerTemporaryFile(const QString &) override {}
    CFileIconCache *iconCache() override { return nullptr; }

    QStringList opened;

public slots:
    void showVVMT(const QString &path) { opened << path; }
};

// The vocabularies the tools list, in place of a configuration file.
inline void useMaterialVocabulary()
{
    CConfig *config = CConfig::instance();
    config->shaders = QStringList{"LightmappedGeneric", "VertexLitGeneric"};
    config->shaderTips = QStringList{"Brushes", "Models"};
    config->parameters = QStringList{"$basetexture", "$bumpmap"};
    config->parameterTips = QStringList{"Main", "Normals"};
    config->proxies = QStringList{"AnimatedTexture", "PlayerColor"};
    config->proxyTips = QStringList{"Plays frames", "Tints"};
    config->proxyParameters = QStringList{"framevar::rate", ""};
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A script that reads but cannot be saved: read-only, in a read-only folder
// and, as root ignores permissions, named so long that no temporary file fits
// beside it. setFolderWritable() afterwards lets the folder be cleaned up.
inline QString unwritableScript(const QString &folder, const QByteArray &bytes)
{
    const QString path = folder + QLatin1Char('/') + QString(248, QLatin1Char('r')) + ".vmt";
    if (!writeBytes(path, bytes))
        return QString();
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    return path;
}

inline void setFolderWritable(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
