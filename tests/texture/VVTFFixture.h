#pragma once

#include "CFileVTF.h"
#include "CPrompt.h"
#include "IMainWindow.h"
#include "VVTF.h"

#include <QImage>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

// Answers every question the editor asks through one function and keeps the
// questions; without a function every question is cancelled.
struct PromptScript
{
    std::function<CPrompt::Answer(const CPrompt::Request &)> answer;
    QList<CPrompt::Request> asked;
    CPrompt::ScopedHandler handler{[this](const CPrompt::Request &request) {
        asked << request;
        return answer ? answer(request) : CPrompt::Answer();
    }};

    // Kind, title and text of each question, one line each.
    QStringList lines() const
    {
        QStringList out;
        for (const CPrompt::Request &r : asked)
            out << QStringLiteral("%1|%2|%3").arg(int(r.kind)).arg(r.title, r.text);
        return out;
    }
};

// Stands in for the main window: keeps the texture editors it is asked to
// open for a further document.
class TextureMainWindow : public QWidget, public IMainWindow
{
    Q_OBJECT

public:
    TextureMainWindow() { setInstance(this); }
    ~TextureMainWindow() override
    {
        setInstance(nullptr);
        qDeleteAll(opened);
    }
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

    QList<VVTF *> opened;

public slots:
    void showVVTF(CFileVTF *document) { opened << new VVTF(document); }
};

// The picture the editor shows.
inline QImage shownPicture(const VVTF &window)
{
    return window.imageLabel->pixmap(Qt::ReturnByValue).toImage();
}

// RGBA8888 bytes of width x height pixels, all of one colour.
inline QByteArray filled(int width, int height, QRgb colour)
{
    const char pixel[4] = {char(qRed(colour)), char(qGreen(colour)), char(qBlue(colour)),
                           char(qAlpha(colour))};
    return QByteArray(pixel, 4).repeated(width * height);
}
