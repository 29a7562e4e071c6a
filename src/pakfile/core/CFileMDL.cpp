#include "CFileMDL.h"

#include "CBinaryReader.h"
#include "ScanPath.h"

#include <QIODevice>

namespace {

namespace MDLLayout {
constexpr quint32 Signature = 0x54534449; // "IDST"
constexpr qint64 HeaderSize = 408;
constexpr qint64 NameSize = 64;
constexpr qint64 Header2Size = 256;
constexpr qint64 TextureRecordSize = 64;
constexpr qint64 DirectoryOffsetSize = 4;
constexpr qint64 IncludeRecordSize = 8;
} // namespace MDLLayout

using IntField = qint32 MDLHeader::*;
using VectorField = CVector3 MDLHeader::*;

// Runs of fields in file order, starting at the byte offset in the name.
const VectorField VectorsAt80[] = {
    &MDLHeader::eyePosition, &MDLHeader::illuminationPosition,   &MDLHeader::hullMinimum,
    &MDLHeader::hullMaximum, &MDLHeader::viewBoundingBoxMinimum, &MDLHeader::viewBoundingBoxMaximum,
};
const IntField IntsAt152[] = {
    &MDLHeader::flags,
    &MDLHeader::boneCount,
    &MDLHeader::boneOffset,
    &MDLHeader::boneControllerCount,
    &MDLHeader::boneControllerOffset,
    &MDLHeader::hitboxCount,
    &MDLHeader::hitboxOffset,
    &MDLHeader::localAnimationCount,
    &MDLHeader::localAnimationOffset,
    &MDLHeader::localSequenceCount,
    &MDLHeader::localSequenceOffset,
    &MDLHeader::activityListVersion,
    &MDLHeader::eventsIndexed,
    &MDLHeader::textureCount,
    &MDLHeader::textureOffset,
    &MDLHeader::textureDirectoryCount,
    &MDLHeader::textureDirectoryOffset,
    &MDLHeader::skinReferenceCount,
    &MDLHeader::skinFamilyOffset,
    &MDLHeader::skinReferenceOffset,
    &MDLHeader::bodyPartCount,
    &MDLHeader::bodyPartOffset,
    &MDLHeader::attachmentCount,
    &MDLHeader::attachmentOffset,
    &MDLHeader::localNodeCount,
    &MDLHeader::localNodeOffset,
    &MDLHeader::localNodeNameOffset,
    &MDLHeader::flexDescriptionCount,
    &MDLHeader::flexDescriptionOffset,
    &MDLHeader::flexControllerCount,
    &MDLHeader::flexControllerOffset,
    &MDLHeader::flexRuleCount,
    &MDLHeader::flexRuleOffset,
    &MDLHeader::inverseKinematicChainCount,
    &MDLHeader::inverseKinematicChainOffset,
    &MDLHeader::mouthsCount,
    &MDLHeader::mouthsOffset,
    &MDLHeader::localPoseParameterCount,
    &MDLHeader::localPoseParameterOffset,
    &MDLHeader::surfacePropOffset,
    &MDLHeader::keyvalueOffset,
    &MDLHeader::keyvalueCount,
    &MDLHeader::inverseKinematicLockCount,
    &MDLHeader::inverseKinematicLockOffset,
};
const IntField IntsAt332[] = {
    &MDLHeader::contents,
    &MDLHeader::includeModelCount,
    &MDLHeader::includeModelOffset,
    &MDLHeader::virtualModel,
    &MDLHeader::animationBlockNameOffset,
    &MDLHeader::animationBlockCount,
    &MDLHeader::animationBlockOffset,
    &MDLHeader::animationBlockModel,
    &MDLHeader::boneTableNameOffset,
    &MDLHeader::vertexBase,
    &MDLHeader::offsetBase,
};
const IntField IntsAt380[] = {
    &MDLHeader::reservedInteger,
    &MDLHeader::flexControllerUiCount,
    &MDLHeader::flexControllerUiOffset,
};
const IntField IntsAt396[] = {
    &MDLHeader::reservedAfterScale,
    &MDLHeader::studioHdr2Offset,
    &MDLHeader::reservedTail,
};

// Reads the model from a reader whose position 0 is the start of the file.
class MDLReader
{
public:
    MDLReader(CBinaryReader &in, CFileMDL &model)
        : m_in(in)
        , m_model(model)
    {}

    bool run()
    {
        return readHeader() && readHeader2() && readTextures() && readTextureDirectories() &&
               readKeyvalues() && readIncludeModels();
    }

private:
    bool readHeader()
    {
        if (m_in.u32() != MDLLayout::Signature || !m_in.canRead(MDLLayout::HeaderSize - 4))
            return false;
        MDLHeader &h = m_model.header;
        h.version = m_in.i32();
        h.checksum = m_in.i32();
        h.name = m_in.bytes(MDLLayout::NameSize);
        h.fileLength = m_in.i32();
        for (VectorField field : VectorsAt80) {
            CVector3 &v = h.*field;
            v.x = m_in.f32();
            v.y = m_in.f32();
            v.z = m_in.f32();
        }
        for (IntField field : IntsAt152)
            h.*field = m_in.i32();
        h.mass = m_in.f32();
        for (IntField field : IntsAt332)
            h.*field = m_in.i32();
        h.directionalDotProduct = m_in.i8();
        h.rootLod = m_in.i8();
        h.allowedRootLods = m_in.i8();
        h.reservedByte = m_in.i8();
        for (IntField field : IntsAt380)
            h.*field = m_in.i32();
        h.vertexAnimationScale = m_in.f32();
        for (IntField field : IntsAt396)
            h.*field = m_in.i32();
        return m_in.ok();
    }

    bool readHeader2()
    {
        const qint64 offset = m_model.header.studioHdr2Offset;
        if (offset == 0)
            return true;
        if (!m_in.seek(offset) || !m_in.canRead(MDLLayout::Header2Size))
            return false;
        MDLHeader2 &h = m_model.header2;
        for (qint32 &value : h.leadingIntegers)
            value = m_in.i32();
        h.floatValue = m_in.f32();
        h.integerValue = m_in.i32();
        for (qint32 &value : h.reserved)
            value = m_in.i32();
        return m_in.ok();
    }

    // Positions the reader at a table of `count` records, after checking that
    // the whole table is there and the count is plausible. An empty table's
    // offset means nothing and is not looked at.
    bool seekTable(qint64 offset, qint64 count, qint64 recordSize, qint64 maxCount)
    {
        if (count == 0)
            return true;
        return count > 0 && count <= maxCount && m_in.seek(offset) &&
               m_in.canHold(count, recordSize);
    }

    // The NUL-ended string at a position, cut at MaxNameLength; empty when the
    // position is outside the data.
    QByteArray stringAt(qint64 position)
    {
        if (position < 0 || position >= m_in.size())
            return QByteArray();
        m_in.seek(position);
        QByteArray text = m_in.bytes(qMin(CFileMDL::MaxNameLength, m_in.remaining()));
        const int nul = text.indexOf('\0');
        if (nul >= 0)
            text.truncate(nul);
        return text;
    }

    QByteArray normalisedStringAt(qint64 position)
    {
        QByteArray text = stringAt(position);
        ScanPath::clean(text);
        return text;
    }

    bool readTextures()
    {
        const MDLHeader &h = m_model.header;
        if (!seekTable(h.textureOffset, h.textureCount, MDLLayout::TextureRecordSize,
                       CFileMDL::MaxTextures))
            return false;
        QVector<qint64> namePositions;
        namePositions.reserve(h.textureCount);
        m_model.textureRecords.reserve(h.textureCount);
        for (qint32 i = 0; i < h.textureCount; ++i) {
            const qint64 position = m_in.pos();
            MDLTextureRecord record;
            for (qint32 &value : record)
                value = m_in.i32();
            m_model.textureRecords.append(record);
            namePositions.append(position + quint32(record[0]));
        }
        if (!m_in.ok())
            return false;
        for (qint64 position : qAsConst(namePositions))
            m_model.textureNames.append(normalisedStringAt(position));
        return true;
    }

    bool readTextureDirectories()
    {
        const MDLHeader &h = m_model.header;
        if (!seekTable(h.textureDirectoryOffset, h.textureDirectoryCount,
                       MDLLayout::DirectoryOffsetSize, CFileMDL::MaxTextureDirectories))
            return false;
        m_model.textureDirectoryOffsets.reserve(h.textureDirectoryCount);
        for (qint32 i = 0; i < h.textureDirectoryCount; ++i)
            m_model.textureDirectoryOffsets.append(m_in.i32());
        if (!m_in.ok())
            return false;
        for (qint32 offset : qAsConst(m_model.textureDirectoryOffsets))
            m_model.textureDirectories.append(normalisedStringAt(offset));
        return true;
    }

    // Complete lines only: the text after the last LF is not kept, and the
    // text ends at its first NUL.
    bool readKeyvalues()
    {
        const MDLHeader &h = m_model.header;
        if (h.keyvalueCount == 0)
            return true;
        if (h.keyvalueCount < 0 || !m_in.seek(h.keyvalueOffset))
            return false;
        QByteArray text = m_in.bytes(h.keyvalueCount);
        if (!m_in.ok())
            return false;
        const int nul = text.indexOf('\0');
        if (nul >= 0)
            text.truncate(nul);
        const int lastLf = text.lastIndexOf('\n');
        if (lastLf < 0)
            return true;
        const QList<QByteArray> lines = text.left(lastLf).split('\n');
        for (const QByteArray &line : lines) {
            if (!line.isEmpty())
                m_model.keyvalueLines.append(QString::fromLatin1(line));
        }
        return true;
    }

    bool readIncludeModels()
    {
        const MDLHeader &h = m_model.header;
        if (!seekTable(h.includeModelOffset, h.includeModelCount, MDLLayout::IncludeRecordSize,
                       CFileMDL::MaxIncludeModels))
            return false;
        for (qint32 i = 0; i < h.includeModelCount; ++i) {
            MDLIncludeModel include;
            include.position = m_in.pos();
            include.labelOffset = m_in.i32();
            include.nameOffset = m_in.i32();
            m_model.includeModels.append(include);
        }
        if (!m_in.ok())
            return false;
        for (MDLIncludeModel &include : m_model.includeModels)
            include.name = stringAt(include.position + include.nameOffset);
        return true;
    }

    CBinaryReader &m_in;
    CFileMDL &m_model;
};

} // namespace

CFileMDL::CFileMDL() = default;

CFileMDL::~CFileMDL() = default;

bool CFileMDL::read(QDataStream &stream)
{
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    header = MDLHeader();
    header2 = MDLHeader2();
    textureRecords.clear();
    textureNames.clear();
    textureDirectoryOffsets.clear();
    textureDirectories.clear();
    keyvalueLines.clear();
    includeModels.clear();

    QIODevice *device = stream.device();
    if (!device || !device->isReadable())
        return false;
    // Offsets count from the start of the file, so the reader looks at the
    // whole device; the loaders hand over files and buffers, both seekable.
    if (device->isSequential())
        return false;
    CBinaryReader in(device);
    return MDLReader(in, *this).run();
}

bool CFileMDL::write(QDataStream &stream)
{
    Q_UNUSED(stream);
    return false;
}
