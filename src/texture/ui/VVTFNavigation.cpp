#include "VVTF.h"

#include "CFileVTF.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

// Stepping through mipmaps, frames, faces and slices, and the frame animation.

namespace {
void applyStepper(QPushButton *left, QLabel *counter, QPushButton *right,
                  const VVTFRules::Stepper &stepper)
{
    left->setEnabled(stepper.left);
    right->setEnabled(stepper.right);
    counter->setText(stepper.counter);
}
} // namespace

void VVTF::vtfUpdateNavigation()
{
    const VVTFRules::Navigation n = VVTFRules::navigation(
        m_document, m_currentMipmap, m_currentFrame, m_currentFace, m_currentSlice);
    applyStepper(mipmapLeft, mipmapCounter, mipmapRight, n.mipmap);
    applyStepper(frameLeft, frameCounter, frameRight, n.frame);
    applyStepper(faceLeft, faceCounter, faceRight, n.face);
    applyStepper(sliceLeft, sliceCounter, sliceRight, n.slice);
    keySlider->setEnabled(n.hdr);
    shiftSlider->setEnabled(n.hdr);
    gammaSlider->setEnabled(n.hdr);
    animationButton->setEnabled(n.animation);
    // A texture that lost its frames stops animating.
    if (!n.animation)
        animationButton->setChecked(false);
}

void VVTF::step(int mipmap, int frame, int face, int slice)
{
    if (vtfSelectImage(mipmap, frame, face, slice))
        vtfRefreshView();
}

// Steps wrap in each index's own width, so a step below 0 lands on the last
// member once clamped; the arrows are disabled at the ends anyway.

void VVTF::vtfMipmapLeft()
{
    step(quint8(m_currentMipmap - 1), m_currentFrame, m_currentFace, m_currentSlice);
}

void VVTF::vtfMipmapRight()
{
    step(quint8(m_currentMipmap + 1), m_currentFrame, m_currentFace, m_currentSlice);
}

void VVTF::vtfFrameLeft()
{
    step(m_currentMipmap, quint16(m_currentFrame - 1), m_currentFace, m_currentSlice);
}

void VVTF::vtfFrameRight()
{
    step(m_currentMipmap, quint16(m_currentFrame + 1), m_currentFace, m_currentSlice);
}

void VVTF::vtfFaceLeft()
{
    step(m_currentMipmap, m_currentFrame, quint8(m_currentFace - 1), m_currentSlice);
}

void VVTF::vtfFaceRight()
{
    step(m_currentMipmap, m_currentFrame, quint8(m_currentFace + 1), m_currentSlice);
}

void VVTF::vtfSliceLeft()
{
    step(m_currentMipmap, m_currentFrame, m_currentFace, quint16(m_currentSlice - 1));
}

void VVTF::vtfSliceRight()
{
    step(m_currentMipmap, m_currentFrame, m_currentFace, quint16(m_currentSlice + 1));
}

void VVTF::vtfToggleAnimation(bool on)
{
    if (!on) {
        m_animationTimer.stop();
        return;
    }
    // One before the first frame: the first tick shows the first frame.
    m_currentFrame = quint16((m_document ? m_document->firstFrame() : 0) - 1);
    m_animationTimer.start();
}

void VVTF::vtfAnimationCycle()
{
    m_currentFrame = quint16(m_currentFrame + 1);
    const VVTFRules::Counts counts = VVTFRules::counts(m_document);
    // The loop wraps to frame 0, not to the first frame.
    if (counts.treeEmpty() || m_currentFrame >= counts.frames)
        m_currentFrame = 0;
    if (m_imageShown)
        step(m_currentMipmap, m_currentFrame, m_currentFace, m_currentSlice);
}
