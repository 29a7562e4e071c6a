#include "VTFSheet.h"

#include "CBinaryReader.h"

#include <QDataStream>
#include <QIODevice>

namespace {
// A stored count cut to the records the bytes left can hold.
qint32 capped(qint32 count, const CBinaryReader &in, qint64 recordSize)
{
    if (count <= 0)
        return 0;
    return qint32(qMin<qint64>(count, in.remaining() / recordSize));
}
} // namespace

VTFSheet VTFSheet::parse(const QByteArray &payload)
{
    using namespace VTFSheetLayout;
    CBinaryReader in(payload);
    VTFSheet sheet;
    sheet.fourSets = in.i32() != 0;
    const int coordinates = sheet.fourSets ? MaxCoordinates : CoordinatesPerSet;
    const int frameSize = sheet.fourSets ? FrameSizeFourSets : FrameSizeOneSet;
    const qint32 sequenceCount = in.i32();
    sheet.sequences.resize(capped(sequenceCount, in, SequenceHeaderSize));
    for (VTFSheetSequence &sequence : sheet.sequences) {
        sequence.number = in.i32();
        sequence.clamp = in.i32();
        const qint32 frameCount = in.i32();
        sequence.duration = in.f32();
        sequence.frameCount = capped(frameCount, in, frameSize);
        sequence.frames.resize(sequence.frameCount);
        for (VTFSheetFrame &frame : sequence.frames) {
            frame.duration = in.f32();
            for (int i = 0; i < coordinates; ++i)
                frame.coordinates[size_t(i)] = in.f32();
        }
    }
    return sheet;
}

QByteArray VTFSheet::write() const
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    const int coordinates =
        fourSets ? VTFSheetLayout::MaxCoordinates : VTFSheetLayout::CoordinatesPerSet;
    out << qint32(fourSets ? 1 : 0) << qint32(sequences.size());
    for (const VTFSheetSequence &sequence : sequences) {
        out << sequence.number << sequence.clamp << qint32(sequence.frames.size())
            << sequence.duration;
        for (const VTFSheetFrame &frame : sequence.frames) {
            out << frame.duration;
            for (int i = 0; i < coordinates; ++i)
                out << frame.coordinates[size_t(i)];
        }
    }
    return payload;
}
