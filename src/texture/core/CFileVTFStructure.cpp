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

bool isPowerOfTwo(int value)
{
    return value > 0 && (value & (value - 1)) == 0;
}

quint64 treeBytes(const VTFImageTree &images)
{
    quint64 total = 0;
    for (const VTFFrameList &frames : images)
        for (const VTFFaceList &faces : frames)
            for (const VTFSliceList &slices : faces)
                for (const QByteArray &image : slices)
                    total += quint64(image.size());
    return total;
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

bool CFileVTF::commitImages(VTFImageTree &images)
{
    // The logical size counts: new images share one zero buffer per level
    // until written, but saving or editing them makes every one real.
    if (treeBytes(images) > VTFMaxTextureBytes) {
        fail(VTFError::OutOfMemory);
        return false;
    }
    m_images.swap(images);
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
    for (int level = 0; level < next.size(); ++level) {
        VTFFrameList &frames = next[level];
        if (count < old) {
            frames.resize(count);
            continue;
        }
        QByteArray zero;
        if (!zeroImage(level, zero)) {
            fail(VTFError::OutOfMemory);
            return false;
        }
        const int faces = faceCount();
        frames.resize(count);
        for (int frame = old; frame < count; ++frame)
            frames[frame] = zeroFaces(faces, sliceCount(), zero);
    }
    if (!commitImages(next))
        return false;
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
    for (int level = 0; level < next.size(); ++level) {
        QByteArray zero;
        if (count > old && !zeroImage(level, zero)) {
            fail(VTFError::OutOfMemory);
            return false;
        }
        for (VTFFaceList &faces : next[level]) {
            if (count < old) {
                faces.resize(count);
                continue;
            }
            const int slices = faces.isEmpty() ? 1 : faces.first().size();
            while (faces.size() < count)
                faces.append(zeroSlices(slices, zero));
        }
    }
    if (!commitImages(next))
        return false;
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
    VTFImageTree next = m_images;
    for (int level = old; level < count; ++level) {
        QByteArray zero;
        if (!zeroImage(level, zero)) {
            fail(VTFError::OutOfMemory);
            return false;
        }
        next.append(VTFFrameList(frames, zeroFaces(faces, slices, zero)));
    }
    return commitImages(next);
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
    VTFImageTree next = m_images;
    for (int level = 0; level < next.size(); ++level) {
        QByteArray zero;
        if (count > old && !zeroImage(level, zero)) {
            fail(VTFError::OutOfMemory);
            return false;
        }
        for (VTFFaceList &faces : next[level]) {
            for (VTFSliceList &slices : faces) {
                if (count < old)
                    slices.resize(count);
                else
                    while (slices.size() < count)
                        slices.append(zero);
            }
        }
    }
    return commitImages(next);
}
