// The texture file: reading and writing versions 7.0 to 7.5.
//
// Layout: a header (63 bytes every version shares, then a tail by minor
// version: 7.0/7.1 one pad byte, 7.2 the depth and padding, 7.3 on the depth,
// the resource count and the resource directory), the thumbnail, then the
// images: mip levels from the smallest, within a level frame by frame, face by
// face, slice by slice. From 7.3 on the directory gives the offsets of the
// thumbnail, the images and the sprite-sheet and key-value payloads.

#include "CFileVTF.h"

#include "CBinaryReader.h"
#include "PointerContainers.h"
#include "VTFConvert.h"
#include "VTFErrors.h"

#include <QBuffer>
#include <QDataStream>
#include <QHash>
#include <QIODevice>

#include <cstring>
#include <iterator>

namespace {
// Images of format NONE cost nothing to read, so their pixels are capped on
// their own (and with them their number): they are shown as blank images of
// their size. The cap is fixed: one that grew with the bytes after the images
// would accept files whose saved copy, which keeps none of those bytes, does
// not read.
constexpr quint64 MaxEmptyPixels = 0x10000;

// The header values as a file states them.
struct FileHeader
{
    quint32 major = 0;
    quint32 minor = 0;
    quint32 headerSize = 0;
    quint16 width = 0;
    quint16 height = 0;
    quint32 flags = 0;
    quint16 frames = 0;
    quint16 firstFrame = 0;
    quint32 reserved0 = 0;
    float reflectivity[3] = {0, 0, 0};
    quint32 reserved1 = 0;
    float bumpmapScale = 0;
    qint32 highResFormat = 0;
    quint8 mipCount = 0;
    qint32 lowResFormat = 0;
    quint8 lowResWidth = 0;
    quint8 lowResHeight = 0;
    quint16 depth = 0;
    quint8 reserved2[3] = {0, 0, 0};
    quint32 resourceCount = 0;
    quint8 reserved3[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};

// Reads the header up to the resource directory. Null on success, else the
// message.
const char *readHeader(CBinaryReader &in, FileHeader &h)
{
    char magic[sizeof VTFLayout::Magic];
    if (!in.read(magic, sizeof magic))
        return VTFError::Incomplete;
    if (std::memcmp(magic, VTFLayout::Magic, sizeof magic) != 0)
        return VTFError::MagicMismatch;
    h.major = in.u32();
    h.minor = in.u32();
    if (!in.ok())
        return VTFError::Incomplete;
    if (h.major < VTFLayout::MajorVersion)
        return VTFError::FormatTooOld;
    h.headerSize = in.u32();
    h.width = in.u16();
    h.height = in.u16();
    h.flags = in.u32();
    h.frames = in.u16();
    h.firstFrame = in.u16();
    h.reserved0 = in.u32();
    for (float &value : h.reflectivity)
        value = in.f32();
    h.reserved1 = in.u32();
    h.bumpmapScale = in.f32();
    h.highResFormat = in.i32();
    h.mipCount = in.u8();
    h.lowResFormat = in.i32();
    h.lowResWidth = in.u8();
    h.lowResHeight = in.u8();
    if (h.minor < 2) {
        in.skip(1);
    } else {
        h.depth = in.u16();
        if (h.minor == 2) {
            in.skip(15);
        } else {
            in.read(reinterpret_cast<char *>(h.reserved2), sizeof h.reserved2);
            h.resourceCount = in.u32();
            in.read(reinterpret_cast<char *>(h.reserved3), sizeof h.reserved3);
        }
    }
    if (!in.ok())
        return VTFError::Incomplete;
    // Below 7.3 nothing but the major version is checked: those layouts do
    // not change with the minor version.
    if (h.minor >= 3 && (h.minor > 5 || (h.minor == 5 && h.major > VTFLayout::MajorVersion)))
        return VTFError::FormatTooNew;
    return nullptr;
}

// A 32-bit length and that many bytes at `offset`.
bool readPayload(CBinaryReader &in, quint32 offset, QByteArray &payload)
{
    if (!in.seek(offset))
        return false;
    const quint32 length = in.u32();
    payload = in.bytes(length);
    return in.ok();
}

// One directory entry as it will be written; offsets are filled in once the
// header size is known.
struct DirectoryEntry
{
    quint32 tag;
    quint32 data;
    // Bytes the entry's item takes after the header (offset entries only).
    quint64 itemSize;
    const QByteArray *payload;
};

bool writeBytes(QDataStream &stream, const char *data, qint64 size)
{
    return stream.writeRawData(data, int(size)) == size;
}
} // namespace

bool CFileVTF::read(QDataStream &stream)
{
    QIODevice *device = stream.device();
    if (!device) {
        fail(VTFError::NoDevice);
        return false;
    }
    // Offsets count from where the texture starts in the device.
    if (device->isSequential()) {
        const QByteArray bytes = device->readAll();
        CBinaryReader in(bytes);
        return readFrom(in);
    }
    CBinaryReader whole(device);
    const qint64 start = device->pos();
    CBinaryReader in = whole.sub(start, whole.size() - start);
    return readFrom(in);
}

bool CFileVTF::readFrom(CBinaryReader &in)
{
    auto failed = [this](const char *message) {
        fail(message);
        return false;
    };
    FileHeader h;
    if (const char *error = readHeader(in, h))
        return failed(error);
    if (!formatsKnown(h.highResFormat, h.lowResFormat, VTFError::UnsupportedFormat))
        return false;

    // The directory: a repeated identifier keeps the last data.
    if (!in.canHold(h.resourceCount, VTFLayout::ResourceEntrySize))
        return failed(VTFError::Incomplete);
    QVector<VTFResource> resources;
    QHash<quint32, int> byIdentifier;
    for (quint32 i = 0; i < h.resourceCount; ++i) {
        VTFResource resource;
        resource.tag = in.u32();
        resource.data = in.u32();
        const auto known = byIdentifier.constFind(resource.identifier());
        if (known != byIdentifier.constEnd()) {
            resources[*known].data = resource.data;
        } else {
            byIdentifier.insert(resource.identifier(), resources.size());
            resources.append(resource);
        }
    }
    if (!in.ok())
        return failed(VTFError::Incomplete);
    // A header size short of what was read would put the images inside the
    // header; what was read is the least it can be.
    const quint64 headerEnd = qMax<quint64>(h.headerSize, quint64(in.pos()));

    const auto lowResFormat = VTFImageFormat(h.lowResFormat);
    const quint64 lowResSize = vtfComputeImageSize(h.lowResWidth, h.lowResHeight, lowResFormat);
    quint64 lowResOffset = headerEnd;
    quint64 highResOffset = headerEnd + lowResSize;
    for (VTFResource &resource : resources) {
        if (resource.matches(VTFResourceTag::Sheet) ||
            resource.matches(VTFResourceTag::KeyValues)) {
            if (!readPayload(in, resource.data, resource.payload))
                return failed(VTFError::Incomplete);
        } else if (resource.matches(VTFResourceTag::LowResImage)) {
            lowResOffset = resource.data;
        } else if (resource.matches(VTFResourceTag::HighResImage)) {
            highResOffset = resource.data;
        }
    }

    // An offset beyond the end reads as a short file, whatever the device
    // would say to the seek.
    QByteArray lowRes;
    if (quint64(in.size()) < lowResOffset || !in.seek(qint64(lowResOffset)))
        return failed(VTFError::Incomplete);
    lowRes = in.bytes(qint64(lowResSize));
    if (!in.ok() || quint64(in.size()) < highResOffset || !in.seek(qint64(highResOffset)))
        return failed(VTFError::Incomplete);

    // The shape of the tree. Environment maps hold 6 faces from 7.5 on, and
    // before that 6 when the first frame says so, else 7 with the spheremap.
    int faces = 1;
    if (h.flags & VTFFlag::EnvironmentMap) {
        faces = h.minor >= 5 || h.firstFrame == VTFLayout::SixFaceFirstFrame
                    ? VTFLayout::CubeFaces
                    : VTFLayout::CubeFacesWithSpheremap;
    }
    const int slices = h.minor >= 2 ? qMax<int>(h.depth, 1) : 1;
    const int levels = h.mipCount;
    const auto format = VTFImageFormat(h.highResFormat);

    // Everything the header asks for must be in the file before anything is
    // allocated: a few hostile bytes must not claim gigabytes.
    const VTFReferenceSize reference = fileReference(h.width, h.height, levels);
    const quint64 perLevel = quint64(h.frames) * quint64(faces) * quint64(slices);
    const quint64 left = quint64(in.remaining());
    quint64 total = 0;
    quint64 emptyPixels = 0;
    for (int level = 0; level < levels; ++level) {
        const quint64 width = levelSide(reference.width, reference.level, level);
        const quint64 height = levelSide(reference.height, reference.level, level);
        const quint64 size = vtfComputeImageSize(quint16(width), quint16(height), format);
        if (size != 0 && perLevel > (left - total) / size)
            return failed(VTFError::Incomplete);
        total += size * perLevel;
        // Sides beyond 65535 are refused when the tree is sized.
        const quint64 pixels = qMin<quint64>(width, 0x10000) * qMin<quint64>(height, 0x10000);
        if (size == 0 && perLevel > (MaxEmptyPixels - emptyPixels) / pixels)
            return failed(VTFError::BlankImagesTooLarge);
        if (size == 0)
            emptyPixels += pixels * perLevel;
    }

    // The tree is built over the old one, which comes back on failure.
    const VTFImageTree oldImages = m_images;
    const VTFReferenceSize oldReference = m_reference;
    const VTFImageFormat oldFormat = m_highResFormat;
    m_highResFormat = format;
    // Each image is allocated once, by the read that fills it.
    bool ok = shapeImageTree(h.width, h.height, levels, h.frames, faces, slices, false);
    for (int level = 0; ok && level < levels; ++level) {
        const qint64 size =
            qint64(vtfComputeImageSize(mipmapWidth(level), mipmapHeight(level), format));
        for (VTFFaceList &frameFaces : m_images[level])
            for (VTFSliceList &faceSlices : frameFaces)
                for (QByteArray &image : faceSlices)
                    image = in.bytes(size);
        ok = in.ok();
        if (!ok)
            fail(VTFError::Incomplete);
    }
    if (!ok) {
        m_images = oldImages;
        m_reference = oldReference;
        m_highResFormat = oldFormat;
        return false;
    }

    m_majorVersion = h.major;
    m_minorVersion = h.minor;
    m_headerSize = h.headerSize;
    m_headerWidth = h.width;
    m_headerHeight = h.height;
    m_flags = h.flags;
    m_headerFrameCount = h.frames;
    m_firstFrame = h.firstFrame;
    m_reserved0 = h.reserved0;
    std::copy(std::begin(h.reflectivity), std::end(h.reflectivity), m_reflectivity);
    m_reserved1 = h.reserved1;
    m_bumpmapScale = h.bumpmapScale;
    m_headerMipCount = h.mipCount;
    m_lowResFormat = lowResFormat;
    m_lowResWidth = h.lowResWidth;
    m_lowResHeight = h.lowResHeight;
    m_headerDepth = h.depth;
    std::copy(std::begin(h.reserved2), std::end(h.reserved2), m_reserved2);
    m_headerResourceCount = h.resourceCount;
    std::copy(std::begin(h.reserved3), std::end(h.reserved3), m_reserved3);
    m_lowResImage = lowRes;
    deleteAll(m_resources);
    for (const VTFResource &resource : resources)
        m_resources.append(new VTFResource(resource));
    return true;
}

bool CFileVTF::formatsKnown(qint32 highRes, qint32 lowRes, const char *refusal)
{
    for (const qint32 format : {highRes, lowRes}) {
        if (!vtfFormatIsKnown(VTFImageFormat(format))) {
            m_error = QString::fromLatin1(refusal).arg(format);
            return false;
        }
    }
    return true;
}

bool CFileVTF::write(QDataStream &stream)
{
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    QIODevice *device = stream.device();
    const char *refused = !device                 ? VTFError::NoDevice
                          : !device->isOpen()     ? VTFError::NotOpen
                          : !device->isWritable() ? VTFError::NotWritable
                                                  : nullptr;
    if (refused) {
        fail(refused);
        return false;
    }
    // The reader and the format setters keep such formats out; a save must
    // never be the place where their images are dropped.
    if (!formatsKnown(m_highResFormat, m_lowResFormat, VTFError::UnsupportedFormatWrite))
        return false;
    const quint32 minor = m_minorVersion;

    // The directory, in the order files have it. Checksums and unknown
    // entries are not carried: nothing here can keep them true.
    QVector<DirectoryEntry> directory;
    if (minor >= 3) {
        if (m_lowResFormat != IMAGE_FORMAT_NONE)
            directory.append(
                {VTFResourceTag::LowResImage, 0, quint64(m_lowResImage.size()), nullptr});
        for (quint32 tag : {VTFResourceTag::Sheet, VTFResourceTag::KeyValues}) {
            if (const VTFResource *resource = findResource(tag))
                directory.append(
                    {tag, 0, 4 + quint64(resource->payload.size()), &resource->payload});
        }
        directory.append({VTFResourceTag::HighResImage, 0, 0, nullptr});
        for (quint32 tag : {VTFResourceTag::LevelOfDetail, VTFResourceTag::Ts0}) {
            if (const VTFResource *resource = findResource(tag))
                directory.append({tag, resource->data, 0, nullptr});
        }
    }
    const quint32 headerSize =
        minor < 2 ? VTFLayout::HeaderSize70
        : minor == 2
            ? VTFLayout::HeaderSize72
            : VTFLayout::HeaderSize73 + VTFLayout::ResourceEntrySize * quint32(directory.size());
    m_headerSize = headerSize;
    quint64 offset = headerSize;
    for (DirectoryEntry &entry : directory) {
        if (entry.tag & VTFResourceTag::InlineFlag)
            continue;
        entry.data = quint32(offset);
        offset += entry.itemSize;
    }

    // What the images hold: 7.0 has no spheremap face and 7.5 dropped it;
    // 7.0 and 7.1 have no depth.
    const int frames = frameCount();
    int faces = faceCount();
    if (minor == 0 || minor >= 5)
        faces = qMin(faces, VTFLayout::CubeFaces);
    const int slices = minor < 2 ? qMin(sliceCount(), 1) : sliceCount();
    // Before 7.5 the first frame tells a reader whether the spheremap face
    // follows, so it must match the faces written (a 7.5 cube map saved as
    // 7.4 would otherwise not read back).
    quint16 firstFrame = m_firstFrame;
    if ((m_flags & VTFFlag::EnvironmentMap) && minor < 5) {
        if (faces == VTFLayout::CubeFaces)
            firstFrame = VTFLayout::SixFaceFirstFrame;
        else if (firstFrame == VTFLayout::SixFaceFirstFrame)
            firstFrame = 0;
    }

    QByteArray header;
    {
        QBuffer buffer(&header);
        buffer.open(QIODevice::WriteOnly);
        QDataStream out(&buffer);
        out.setByteOrder(QDataStream::LittleEndian);
        out.setFloatingPointPrecision(QDataStream::SinglePrecision);
        out.writeRawData(VTFLayout::Magic, sizeof VTFLayout::Magic);
        out << m_majorVersion << minor << headerSize << width() << height() << m_flags
            << quint16(frames) << firstFrame << quint32(0) << m_reflectivity[0] << m_reflectivity[1]
            << m_reflectivity[2] << quint32(0) << m_bumpmapScale << qint32(m_highResFormat)
            << quint8(mipmapCount()) << qint32(m_lowResFormat) << m_lowResWidth << m_lowResHeight;
        if (minor < 2) {
            out << quint8(0);
        } else {
            out << quint16(sliceCount());
            if (minor == 2) {
                out.writeRawData(QByteArray(15, '\0').constData(), 15);
            } else {
                out.writeRawData(QByteArray(3, '\0').constData(), 3);
                out << quint32(directory.size());
                out.writeRawData(QByteArray(8, '\0').constData(), 8);
                for (const DirectoryEntry &entry : directory)
                    out << entry.tag << entry.data;
            }
        }
    }

    auto incomplete = [this]() {
        fail(VTFError::IncompleteWrite);
        return false;
    };
    if (!writeBytes(stream, header.constData(), header.size()) ||
        !writeBytes(stream, m_lowResImage.constData(), m_lowResImage.size()))
        return incomplete();
    for (const DirectoryEntry &entry : directory) {
        if (!entry.payload)
            continue;
        const quint32 size = quint32(entry.payload->size());
        const char sizeBytes[4] = {char(size), char(size >> 8), char(size >> 16), char(size >> 24)};
        if (!writeBytes(stream, sizeBytes, 4) ||
            !writeBytes(stream, entry.payload->constData(), entry.payload->size()))
            return incomplete();
    }
    for (const VTFFrameList &level : m_images) {
        for (int frame = 0; frame < frames; ++frame) {
            for (int face = 0; face < faces; ++face) {
                for (int slice = 0; slice < slices; ++slice) {
                    const QByteArray &image = level[frame][face][slice];
                    if (!writeBytes(stream, image.constData(), image.size()))
                        return incomplete();
                }
            }
        }
    }
    return true;
}
