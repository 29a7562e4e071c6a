#pragma once

#include "CFileVTF.h"
#include "CPrompt.h"
#include "MainWindowStub.h"
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
};

// Stands in for the main window: keeps the texture editors it is asked to
// open for a further document.
class TextureMainWindow : public MainWindowStub
{
    Q_OBJECT

public:
    ~TextureMainWindow() override { qDeleteAll(opened); }

    QList<VVTF *> opened;

public slots:
    void showVVTF(CFileVTF *document) { opened << new VVTF(document); }
};

// A texture of "WxH" followed by "frames:n", "faces:n" and "slices:n" steps,
// each of which must be accepted.
inline CFileVTF *texture(const QString &setup)
{
    QStringList steps = setup.split(QLatin1Char(' '));
    const QStringList size = steps.takeFirst().split(QLatin1Char('x'));
    auto *document = new CFileVTF(quint16(size.at(0).toInt()), quint16(size.at(1).toInt()));
    for (const QString &step : steps) {
        const int value = step.section(QLatin1Char(':'), 1).toInt();
        const QString name = step.section(QLatin1Char(':'), 0, 0);
        const bool ok = name == QLatin1String("frames")   ? document->setFrameCount(value)
                        : name == QLatin1String("faces")  ? document->setFaceCount(value)
                        : name == QLatin1String("slices") ? document->setSliceCount(value)
                                                          : false;
        if (!ok)
            qFatal("fixture step %s refused", qPrintable(step));
    }
    return document;
}

// Numbers written "2 1 0 0".
inline QList<int> numbers(const QString &text)
{
    QList<int> out;
    for (const QString &n : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out << n.toInt();
    return out;
}

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
