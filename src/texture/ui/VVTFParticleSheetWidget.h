#pragma once

#include "VTFSheet.h"

#include <QByteArray>
#include <QWidget>

#include <array>

class CFileVTF;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The sprite-sheet editor: steps through a sheet's sequences and frames and
// edits durations, the loop flag and the texture coordinates. It works on its
// own copy of the payload and hands a new payload back through write();
// sequences and frames cannot be added or removed.
class VVTFParticleSheetWidget : public QWidget
{
    Q_OBJECT

public:
    // Reads the payload (see VTFSheet::parse) and shows sequence 0.
    explicit VVTFParticleSheetWidget(const QByteArray &payload, QWidget *parent = nullptr);
    ~VVTFParticleSheetWidget() override;

    // Replaces the bytes with the edited sheet: version 1 with four sets per
    // frame while the extra coordinates are checked, else version 0.
    void write(QByteArray &payload) const;

    // Ignored for an index not below the sequence count; else that sequence
    // and its frame 0 become current.
    void selectSequence(unsigned index);
    // Ignored for an index not below the current sequence's frame count.
    void selectFrame(unsigned index);

    const VTFSheet &sheet() const { return m_sheet; }
    int currentSequence() const { return m_sequence; }
    int currentFrame() const { return m_frame; }

    // The editor over the texture's sheet resource in a dialog with Ok and
    // Cancel; Ok writes the resource's payload back. False (nothing shown)
    // without a sheet, and when cancelled.
    static bool editSheet(CFileVTF &document, QWidget *parent);

public slots:
    void previousSequence();
    void nextSequence();
    void previousFrame();
    void nextFrame();
    void loopToggled();
    void durationScalarLineChanged();
    void normalLineChanged();
    void extraNormalsToggled(bool checked);

private:
    void buildLayout();
    QPushButton *arrowButton(const char *icon, const char *name);
    void refresh();
    VTFSheetSequence *sequence();
    VTFSheetFrame *frame();

    VTFSheet m_sheet;
    int m_sequence = 0;
    int m_frame = 0;

    QPushButton *m_previousSequence = nullptr;
    QPushButton *m_nextSequence = nullptr;
    QPushButton *m_previousFrame = nullptr;
    QPushButton *m_nextFrame = nullptr;
    QLabel *m_sequenceLabel = nullptr;
    QLabel *m_frameLabel = nullptr;
    QCheckBox *m_loop = nullptr;
    QLineEdit *m_sequenceDuration = nullptr;
    QLineEdit *m_frameDuration = nullptr;
    std::array<QLineEdit *, VTFSheetLayout::MaxCoordinates> m_coordinates{};
    QGroupBox *m_extraSets = nullptr;
};
