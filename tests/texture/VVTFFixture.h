#pragma once

#include "PromptScript.h"
#include "ScriptedMainWindow.h"
#include "VTFFixture.h"
#include "VVTF.h"

#include <Magick++.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <vector>

// Stands in for the main window: keeps the texture editors it is asked to
// open for a further document.
class TextureMainWindow : public ScriptedMainWindow
{
    Q_OBJECT

public:
    ~TextureMainWindow() override { qDeleteAll(opened); }

    QList<VVTF *> opened;

public slots:
    void showVVTF(CFileVTF *document) { opened << new VVTF(document); }
};

// The named child widget, which must exist.
template <typename T>
T *child(const QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

// Types a text into the named field as a user does (the text, then editing
// finished) and returns what the field then shows.
inline QString type(const QObject &parent, const QString &field, const QString &text)
{
    auto *edit = child<QLineEdit>(parent, qPrintable(field));
    edit->setText(text);
    emit edit->editingFinished();
    return edit->text();
}

// States written "1010".
inline QString bits(std::initializer_list<bool> values)
{
    QString out;
    for (bool value : values)
        out += value ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}

// Triggers the window's menu entries of those texts ("Mask Green").
inline void trigger(VVTF &window, const QString &texts)
{
    for (QAction *action : window.findChildren<QAction *>())
        if (!action->text().isEmpty() && texts.contains(action->text()))
            action->trigger();
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

// An opaque colour for each page of a multi-page file, all different.
inline QRgb pageColour(int page)
{
    return qRgb(10 + 40 * page, 200 - 30 * page, (70 * page) % 256);
}

// A file of 16 x 16 pages of pageColour(), written by ImageMagick in the
// format its name asks for, 8 bits a channel.
inline void writePages(const QString &path, int pages)
{
    std::vector<Magick::Image> images;
    for (int i = 0; i < pages; ++i) {
        const QRgb c = pageColour(i);
        images.emplace_back(Magick::Geometry(16, 16),
                            Magick::ColorRGB(qRed(c) / 255.0, qGreen(c) / 255.0, qBlue(c) / 255.0));
        images.back().depth(8);
    }
    Magick::writeImages(images.begin(), images.end(), path.toStdString());
}
