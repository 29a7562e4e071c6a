#include "VVTF.h"

#include "CFileVTF.h"
#include "VTFConvert.h"

#include <QAction>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>

// The picture: decoding the chosen image, rendering it with the channel,
// mask and tile choices, and the tone-map sliders.

namespace {
// A refused decode leaves zeros of the new size, so nothing ever reads past
// the buffer the sides describe.
void clearTo(QByteArray &buffer, quint16 width, quint16 height)
{
    if (!vtfAllocateImage(buffer, quint64(width) * height * 4))
        buffer.clear();
}
} // namespace

QIcon VVTF::onOffIcon(bool on)
{
    return QIcon(on ? QStringLiteral(":/resources/icons/tick.png")
                    : QStringLiteral(":/resources/icons/cross.png"));
}

bool VVTF::vtfSelectImage(int mipmap, int frame, int face, int slice)
{
    if (!m_document)
        return false;
    m_imageShown = true;
    mipmap = qMax(0, mipmap);
    frame = qMax(0, frame);
    face = qMax(0, face);
    slice = qMax(0, slice);
    m_document->clampImageIndex(mipmap, frame, face, slice);
    m_currentMipmap = quint8(mipmap);
    m_currentFrame = quint16(frame);
    m_currentFace = quint8(face);
    m_currentSlice = quint16(slice);

    m_displayWidth = m_document->mipmapWidth(mipmap);
    m_displayHeight = m_document->mipmapHeight(mipmap);
    if (!m_document->decodeImage(mipmap, frame, face, slice, m_displayBuffer))
        clearTo(m_displayBuffer, m_displayWidth, m_displayHeight);
    vtfUpdateNavigation();
    return true;
}

void VVTF::vtfRefreshView()
{
    const QImage picture = vtfQImageFromImage(m_displayBuffer, m_displayWidth, m_displayHeight,
                                              int(m_viewFlags & ChannelModeBits), true);
    imageLabel->setPixmap(QPixmap::fromImage(picture));
    imageLabel->setFixedSize(m_displayWidth, m_displayHeight);
    tileWidget->setFixedSize(2 * m_displayWidth, 2 * m_displayHeight);
    m_viewFlags &= ~quint32(TileCurrent);
    if (m_viewFlags & Tile) {
        // Toggled back on, with copies of the new picture.
        m_viewFlags &= ~quint32(Tile);
        vtfToggleTile();
    } else {
        for (QLabel *copy : tileCopies)
            copy->clear();
    }
}

void VVTF::setTileCopiesCurrent()
{
    const QPixmap picture = imageLabel->pixmap(Qt::ReturnByValue);
    for (QLabel *copy : tileCopies) {
        copy->setPixmap(picture);
        copy->setFixedSize(m_displayWidth, m_displayHeight);
    }
    m_viewFlags |= TileCurrent;
}

void VVTF::vtfToggleTile()
{
    m_viewFlags ^= Tile;
    const bool on = m_viewFlags & Tile;
    if (on) {
        if (!(m_viewFlags & TileCurrent))
            setTileCopiesCurrent();
        if (imageArea->widget() != tileWidget) {
            imageArea->takeWidget();
            static_cast<QGridLayout *>(tileWidget->layout())->addWidget(imageLabel, 0, 0);
            imageLabel->show();
            imageArea->setWidget(tileWidget);
            tileWidget->show();
        }
    } else if (imageArea->widget() == tileWidget) {
        // Taken back by the window, so it is not left without an owner.
        imageArea->takeWidget();
        tileWidget->setParent(this);
        tileWidget->hide();
        imageArea->setWidget(imageLabel);
        imageLabel->show();
    }
    actionTile->setIcon(onOffIcon(on));
}

void VVTF::vtfToggleMask()
{
    m_viewFlags ^= Mask;
    actionMask->setIcon(onOffIcon(m_viewFlags & Mask));
    vtfRefreshView();
}

void VVTF::setChannel(quint32 channel)
{
    m_viewFlags = (m_viewFlags & ~quint32(ChannelBits)) | channel;
    vtfRefreshView();
}

void VVTF::vtfShowChannelRGB()
{
    setChannel(VTF_CHANNEL_COLOR);
}

void VVTF::vtfShowChannelRed()
{
    setChannel(VTF_CHANNEL_RED);
}

void VVTF::vtfShowChannelGreen()
{
    setChannel(VTF_CHANNEL_GREEN);
}

void VVTF::vtfShowChannelBlue()
{
    setChannel(VTF_CHANNEL_BLUE);
}

void VVTF::vtfShowChannelAlpha()
{
    setChannel(VTF_CHANNEL_ALPHA);
}

void VVTF::vtfShowThumbnail()
{
    if (!m_document)
        return;
    // Unchecking stops the animation.
    animationButton->setChecked(false);
    const quint8 width = m_document->lowResImageWidth();
    const quint8 height = m_document->lowResImageHeight();
    if (!vtfConvertToRGBA8888(m_document->lowResImage(), width, height,
                              m_document->lowResImageFormat(), m_displayBuffer,
                              m_document->hdrKey(), m_document->hdrShift(), m_document->hdrGamma()))
        clearTo(m_displayBuffer, width, height);
    m_imageShown = false;
    m_displayWidth = width;
    m_displayHeight = height;
    vtfRefreshView();
}

void VVTF::reselectShownImage()
{
    if (m_imageShown &&
        vtfSelectImage(m_currentMipmap, m_currentFrame, m_currentFace, m_currentSlice))
        vtfRefreshView();
}

void VVTF::vtfKeyChanged(int value)
{
    if (!m_document)
        return;
    m_document->setHdrKey(float(value) / 100.0f);
    reselectShownImage();
}

void VVTF::vtfShiftChanged(int value)
{
    if (!m_document)
        return;
    m_document->setHdrShift(float(value) / 100.0f);
    reselectShownImage();
}

void VVTF::vtfGammaChanged(int value)
{
    if (!m_document)
        return;
    m_document->setHdrGamma(float(value) / 100.0f);
    reselectShownImage();
}

void VVTF::vtfKeyReset(const QPoint &)
{
    keySlider->setValue(KeyDefault);
}

void VVTF::vtfShiftReset(const QPoint &)
{
    shiftSlider->setValue(ShiftDefault);
}

void VVTF::vtfGammaReset(const QPoint &)
{
    gammaSlider->setValue(GammaDefault);
}
