// The count changes of the texture document: frames, faces, mip levels and
// slices. Each builds the changed tree beside the old one (unchanged images are
// shared, not copied) and commits it only when every new image got its bytes,
// so a refusal leaves the document as it was.

#include "CFileVTF.h"

#include "VTFErrors.h"

namespace {
constexpr int MaxMipmapCount = 13;
constexpr int MaxFrameCount = 0xFFFF;
constexpr int MaxSliceCount = 0xFFFF;
constexpr int MaxFaceCount = 7;

bool isPowerOfTwo(int value)
{
    return value > 0 && (value & (value - 1)) == 0;
}

// A face of `slices` images sharing one zero-filled buffer.
VTFSliceList zeroSlices(int slices, const QByteArray &zero)
{
    return VTFSliceList(slices, zero);
}

VTFFaceList zeroFaces(int faces, int slices, const QByteArray &zero)
{
    return VTFFaceList(faces, zeroSlices(slices, zero));
}
} // namespace

bool CFileVTF::zeroImage(int level, QByteArray &image) const
{
    const quint64 width = levelSide(m_reference.width, m_reference.level, level);
    const quint64 height = levelSide(m_reference.height, m_reference.level, level);
    if (width > 0xFFFF || height > 0xFFFF)
        return false;
    return vtfAllocateImage(image,
                            vtfComputeImageSize(quint16(width), quint16(height), m_highResFormat));
}

bool CFileVTF::reserveImages(int levels, int frames, int faces, int slices)
{
    // The tree is regular, so its size follows from the counts; it is
    // checked before anything is built. New images share one zero buffer per
    // level until written, but saving or editing them makes every one real.
    quint64 total = 0;
    const quint64 perLevel = quint64(frames) * quint64(faces) * quint64(slices);
    for (int level = 0; level < levels; ++level) {
        const quint64 width = levelSide(m_reference.width, m_reference.level, level);
        const quint64 height = levelSide(m_reference.height, m_reference.level, level);
        if (width > 0xFFFF || height > 0xFFFF)
            break;
        const quint64 image = vtfComputeImageSize(quint16(width), quint16(height), m_highResFormat);
        if (perLevel != 0 && image > (VTFMaxTextureBytes - total) / perLevel) {
            total = VTFMaxTextureBytes + 1;
            break;
        }
        total += image * perLevel;
    }
    if (total > VTFMaxTextureBytes) {
        fail(VTFError::OutOfMemory);
        return false;
    }
    return true;
}

bool CFileVTF::zeroLevels(int first, int last, QVector<QByteArray> &zeros)
{
    zeros.clear();
    for (int level = first; level <= last; ++level) {
        QByteArray zero;
        if (!zeroImage(level, zero)) {
            fail(VTFError::OutOfMemory);
            return false;
        }
        zeros.append(zero);
    }
    return true;
}

bool CFileVTF::setFrameCount(int count)
{
    if (count <= 0 || count > MaxFrameCount) {
        fail(VTFError::InvalidFrameCount);
        return false;
    }
    const int old = frameCount();
    if (count == old)
        return true;
    VTFImageTree next = m_images;
    if (count < old) {
        for (VTFFrameList &frames : next)
            frames.resize(count);
    } else {
        QVector<QByteArray> zeros;
        if (!reserveImages(mipmapCount(), count, faceCount(), sliceCount()) ||
            !zeroLevels(0, mipmapCount() - 1, zeros))
            return false;
        for (int level = 0; level < next.size(); ++level) {
            const VTFFaceList added = zeroFaces(faceCount(), sliceCount(), zeros[level]);
            next[level].resize(count);
            for (int frame = old; frame < count; ++frame)
                next[level][frame] = added;
        }
    }
    m_images.swap(next);
    if (m_firstFrame != 0xFFFF && m_firstFrame > count - 1)
        m_firstFrame = quint16(count - 1);
    return true;
}

bool CFileVTF::setFaceCount(int count)
{
    if (count != 1 && count != 6 && count != 7) {
        fail(VTFError::InvalidFaceCount);
        return false;
    }
    if (count != 1 && (!hasImage(0, 0, 0, 0) || sliceCount() > 1)) {
        fail(VTFError::DepthEnvmap);
        return false;
    }
    const int old = faceCount();
    if (count == old)
        return true;
    if (m_reference.width != m_reference.height) {
        fail(VTFError::EnvmapNotSquare);
        return false;
    }
    VTFImageTree next = m_images;
    if (count < old) {
        for (VTFFrameList &frames : next)
            for (VTFFaceList &faces : frames)
                faces.resize(count);
    } else {
        QVector<QByteArray> zeros;
        if (!reserveImages(mipmapCount(), frameCount(), count, sliceCount()) ||
            !zeroLevels(0, mipmapCount() - 1, zeros))
            return false;
        for (int level = 0; level < next.size(); ++level) {
            const VTFSliceList added = zeroSlices(sliceCount(), zeros[level]);
            for (VTFFaceList &faces : next[level]) {
                while (faces.size() < count)
                    faces.append(added);
            }
        }
    }
    m_images.swap(next);
    if (count > 1)
        m_flags |= VTFFlag::EnvironmentMap;
    else
        m_flags &= ~VTFFlag::EnvironmentMap;
    if (count == 6)
        m_firstFrame = 0xFFFF;
    else if (old == 6)
        m_firstFrame = 0;
    return true;
}

bool CFileVTF::setMipmapCount(int count)
{
    if (count < 1 || count > MaxMipmapCount) {
        fail(VTFError::InvalidMipmapCount);
        return false;
    }
    return resizeMipmaps(count, VTFError::InvalidMipmapCount);
}

bool CFileVTF::resizeMipmaps(int count, const char *tooLarge)
{
    const int old = mipmapCount();
    if (count == old)
        return true;
    if (count < old) {
        m_images.resize(count);
        return true;
    }
    // Sides are 16-bit: a level beyond 65535 would wrap and get no bytes.
    const int top = count - 1;
    if (levelSide(m_reference.width, m_reference.level, top) > 0xFFFF ||
        levelSide(m_reference.height, m_reference.level, top) > 0xFFFF) {
        fail(tooLarge);
        return false;
    }
    // An empty tree grows single images; otherwise levels copy the shape of
    // the first one.
    const int frames = old == 0 ? 1 : frameCount();
    const int faces = old == 0 ? 1 : faceCount();
    const int slices = old == 0 ? 1 : sliceCount();
    QVector<QByteArray> zeros;
    if (!reserveImages(count, frames, faces, slices) || !zeroLevels(old, top, zeros))
        return false;
    VTFImageTree next = m_images;
    for (const QByteArray &zero : zeros)
        next.append(VTFFrameList(frames, zeroFaces(faces, slices, zero)));
    m_images.swap(next);
    return true;
}

bool CFileVTF::setSliceCount(int count)
{
    if (count <= 0 || count > MaxSliceCount) {
        fail(VTFError::InvalidSliceCount);
        return false;
    }
    if (!hasImage(0, 0, 0, 0) || faceCount() > 1) {
        fail(VTFError::DepthEnvmap);
        return false;
    }
    if (!isPowerOfTwo(count)) {
        fail(VTFError::SliceNotPowerOfTwo);
        return false;
    }
    const int old = sliceCount();
    if (count == old)
        return true;
    QVector<QByteArray> zeros;
    if (count > old && (!reserveImages(mipmapCount(), frameCount(), faceCount(), count) ||
                        !zeroLevels(0, mipmapCount() - 1, zeros)))
        return false;
    VTFImageTree next = m_images;
    for (int level = 0; level < next.size(); ++level) {
        for (VTFFaceList &faces : next[level]) {
            for (VTFSliceList &slices : faces) {
                slices.resize(count);
                for (int slice = old; slice < count; ++slice)
                    slices[slice] = zeros[level];
            }
        }
    }
    m_images.swap(next);
    return true;
}

bool CFileVTF::resetImageTree(quint16 width, quint16 height, int mipmaps, int frames, int faces,
                              int slices)
{
    return shapeImageTree(width, height, mipmaps, frames, faces, slices, true);
}

bool CFileVTF::shapeImageTree(quint16 width, quint16 height, int mipmaps, int frames, int faces,
                              int slices, bool zeroFilled)
{
    // The ranges a texture file can state.
    const char *invalid = nullptr;
    if (mipmaps < 0 || mipmaps > 0xFF)
        invalid = VTFError::InvalidMipmapCount;
    else if (frames < 0 || frames > MaxFrameCount)
        invalid = VTFError::InvalidFrameCount;
    else if (faces < 0 || faces > MaxFaceCount)
        invalid = VTFError::InvalidFaceCount;
    else if (slices < 0 || slices > MaxSliceCount)
        invalid = VTFError::InvalidSliceCount;
    if (invalid) {
        fail(invalid);
        return false;
    }
    const VTFReferenceSize old = m_reference;
    m_reference = fileReference(width, height, mipmaps);
    // A tree without images (no frames) needs no zero buffers, however large
    // its levels claim to be.
    const bool hasImages = frames > 0 && faces > 0 && slices > 0;
    QVector<QByteArray> zeros(mipmaps);
    if (!reserveImages(mipmaps, frames, faces, slices) ||
        (hasImages && zeroFilled && !zeroLevels(0, mipmaps - 1, zeros))) {
        m_reference = old;
        return false;
    }
    // Nor faces: 255 levels of 65535 slices each would be built for nothing.
    VTFImageTree next;
    for (const QByteArray &zero : zeros)
        next.append(
            VTFFrameList(frames, hasImages ? zeroFaces(faces, slices, zero) : VTFFaceList()));
    m_images.swap(next);
    return true;
}
