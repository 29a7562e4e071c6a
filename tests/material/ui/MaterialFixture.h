#pragma once

#include "CConfig.h"
#include "CPrompt.h"
#include "IMainWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

// Answers the material tools' questions in order and keeps what was asked.
// An unscripted question gets the empty answer (cancel, no button).
class PromptScript
{
public:
    PromptScript()
        : m_handler([this](const CPrompt::Request &request) {
            asked << request;
            if (auto *box = qobject_cast<QMessageBox *>(request.dialog))
                boxes << box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('|') +
                             box->informativeText();
            return answers.isEmpty() ? CPrompt::Answer() : answers.takeFirst();
        })
    {}

    PromptScript &path(const QString &answer)
    {
        CPrompt::Answer a;
        a.ok = true;
        a.text = answer;
        answers << a;
        return *this;
    }
    PromptScript &paths(const QStringList &answer)
    {
        CPrompt::Answer a;
        a.ok = true;
        a.texts = answer;
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
    PromptScript &cancel()
    {
        answers << CPrompt::Answer();
        return *this;
    }

    QList<CPrompt::Answer> answers;
    QList<CPrompt::Request> asked;
    // Title, text and informative text of each message box run through exec.
    QStringList boxes;

private:
    CPrompt::ScopedHandler m_handler;
};

// Stands in for the main window: records the editors it is asked to open.
class FakeMainWindow : public QWidget, public IMainWindow
{
    Q_OBJECT

public:
    FakeMainWindow() { setInstance(this); }
    ~FakeMainWindow() override { setInstance(nullptr); }

    QWidget *mainWindowWidget() override { return this; }
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                            const QString &directory) override
    {
        return CPrompt::getOpenFileName(parent, caption, directory, filter);
    }
    QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &filter,
                                 const QString &directory) override
    {
        return CPrompt::getOpenFileNames(parent, caption, directory, filter);
    }
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                            const QString &directory) override
    {
        return CPrompt::getSaveFileName(parent, caption, directory, filter);
    }
    QString getExistingDirectory(QWidget *, const QString &, const QString &) override
    {
        return QString();
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
    config->parameters = QStringList{"$basetexture", "$bumpmap", "$surfaceprop"};
    config->parameterTips = QStringList{"Main", "Normals", "Sounds"};
    config->proxies = QStringList{"AnimatedTexture", "PlayerColor"};
    config->proxyTips = QStringList{"Plays frames", "Tints"};
    config->proxyParameters = QStringList{"animatedtexturevar::animatedtextureframerate", ""};
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

// A script in `folder` that can be read but not saved: read-only, in a
// read-only folder, and (as root ignores permissions) named so long that no
// temporary file fits beside it. restoreWritable() undoes the permissions.
inline QString unwritableScript(const QString &folder, const QByteArray &bytes)
{
    const QString path =
        folder + QLatin1Char('/') + QString(248, QLatin1Char('r')) + QStringLiteral(".vmt");
    if (!writeBytes(path, bytes))
        return QString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    QFile::setPermissions(folder,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
    return path;
}

inline void restoreWritable(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
