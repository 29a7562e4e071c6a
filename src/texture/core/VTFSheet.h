#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

#include <array>

// The sprite sheet a texture may carry (resource 0x10): numbered sequences of
// frames, each frame a duration and one or four rectangles of texture
// coordinates.
//
// Payload, little-endian: version (i32; 0 one coordinate set per frame, any
// other value four), sequence count (i32), then per sequence its number,
// clamp, frame count (i32 each) and duration (f32) followed directly by its
// frames: duration (f32) and 4 or 16 coordinates (f32; each set start X,
// start Y, end X, end Y).

namespace VTFSheetLayout {
inline constexpr int SequenceHeaderSize = 16;
inline constexpr int CoordinatesPerSet = 4;
inline constexpr int MaxCoordinates = 16;
// Duration and one set, or duration and four sets.
inline constexpr int FrameSizeOneSet = 4 + 4 * CoordinatesPerSet;
inline constexpr int FrameSizeFourSets = 4 + 4 * MaxCoordinates;
} // namespace VTFSheetLayout

struct VTFSheetFrame
{
    float duration = 1.0f;
    // Set k at positions 4k .. 4k + 3; sets a one-set sheet lacks read 0.
    std::array<float, VTFSheetLayout::MaxCoordinates> coordinates{};
};

struct VTFSheetSequence
{
    qint32 number = 0;
    // 0: the sequence loops; anything else: it clamps (kept as read).
    qint32 clamp = 0;
    // Always frames.size(); written as the sequence's frame count.
    qint32 frameCount = 0;
    float duration = 0.0f;
    QVector<VTFSheetFrame> frames;
};

class VTFSheet
{
public:
    // A sheet of the payload. The payload is not validated: values past its
    // end read as 0. A negative count reads as 0, and every count is cut to
    // what the bytes left could hold (16 bytes a sequence header, 20 or 68 a
    // frame), so a hostile payload costs memory in proportion to its size.
    static VTFSheet parse(const QByteArray &payload);

    // Version 1 with four sets per frame when fourSets, else version 0 with
    // set 1 only.
    QByteArray write() const;

    bool fourSets = false;
    QVector<VTFSheetSequence> sequences;
};
