#include "CFileVTF.h"

#include "PointerContainers.h"
#include "VTFConvert.h"
#include "VTFErrors.h"
#include "functions.h"

namespace {
quint16 validDimension(quint16 value)
{
    const bool powerOfTwo = value != 0 && (value & (value - 1)) == 0;
    return powerOfTwo ? value : 1;
}

// Lowers value to count - 1 when there are entries.
void clampTo(int &value, int count)
{
    if (count > 0 && value > count - 1)
        value = count - 1;
}

void clampRange(int &start, int &end, int count)
{
    clampTo(start, count);
    clampTo(end, count);
    if (start > end)
        std::swap(start, end);
}
} // namespace

CFileVTF::CFileVTF(quint16 width, quint16 height)
{
    m_displayName = QStringLiteral("untitled");
    width = validDimension(width);
    height = validDimension(height);
    const int top = powerOfTwoExponent(qMax(width, height));
    m_reference = referenceFor(width, height, top);
    m_images = VTFImageTree(1, VTFFrameList(1, VTFFaceList(1, VTFSliceList(1))));
    vtfAllocateImage(m_images[0][0][0][0], vtfComputeImageSize(1, 1, m_highResFormat));
    // Any power-of-two size gets its whole chain, not only the sizes the
    // mipmap-count request accepts.
    resizeMipmaps(top + 1, VTFError::OutOfMemory);
}

CFileVTF::~CFileVTF()
{
    deleteAll(m_resources);
}

void CFileVTF::fail(const char *message)
{
    m_error = QString::fromLatin1(message);
}

float CFileVTF::reflectivity(int channel) const
{
    return channel >= 0 && channel < 3 ? m_reflectivity[channel] : 0.0f;
}

void CFileVTF::setReflectivity(float red, float green, float blue)
{
    m_reflectivity[0] = red;
    m_reflectivity[1] = green;
    m_reflectivity[2] = blue;
}

// --- Sizes and the image tree ---------------------------------------------------

VTFReferenceSize CFileVTF::referenceFor(quint16 width, quint16 height, int topLevel)
{
    VTFReferenceSize reference{width, height, topLevel};
    while (reference.width > 1 && reference.height > 1) {
        reference.width /= 2;
        reference.height /= 2;
        --reference.level;
    }
    return reference;
}

VTFReferenceSize CFileVTF::fileReference(quint16 width, quint16 height, int levels)
{
    width = qMax<quint16>(width, 1);
    height = qMax<quint16>(height, 1);
    auto isPowerOfTwo = [](quint16 side) { return (side & (side - 1)) == 0; };
    if (isPowerOfTwo(width) && isPowerOfTwo(height))
        return referenceFor(width, height, levels - 1);
    // Halving an odd side loses a pixel that the file's levels keep.
    return VTFReferenceSize{width, height, levels - 1};
}

quint64 CFileVTF::levelSide(quint16 referenceSide, int referenceLevel, int level)
{
    const qint64 shift = qint64(level) - referenceLevel;
    if (shift < 0)
        return shift <= -16 ? 1 : qMax<quint64>(1, referenceSide >> -shift);
    // Beyond 2^47 every nonzero side is far out of range already.
    return quint64(referenceSide) << qMin<qint64>(shift, 47);
}

quint16 CFileVTF::mipmapWidth(int level) const
{
    return quint16(qMin<quint64>(levelSide(m_reference.width, m_reference.level, level), 0xFFFF));
}

quint16 CFileVTF::mipmapHeight(int level) const
{
    return quint16(qMin<quint64>(levelSide(m_reference.height, m_reference.level, level), 0xFFFF));
}

int CFileVTF::frameCount() const
{
    return m_images.isEmpty() ? 0 : m_images.first().size();
}

int CFileVTF::faceCount() const
{
    return frameCount() == 0 ? 0 : m_images.first().first().size();
}

int CFileVTF::sliceCount() const
{
    return faceCount() == 0 ? 0 : m_images.first().first().first().size();
}

bool CFileVTF::hasImage(int mip, int frame, int face, int slice) const
{
    return mip >= 0 && frame >= 0 && face >= 0 && slice >= 0 && mip < mipmapCount() &&
           frame < frameCount() && face < faceCount() && slice < sliceCount();
}

QByteArray CFileVTF::image(int mip, int frame, int face, int slice) const
{
    return hasImage(mip, frame, face, slice) ? m_images[mip][frame][face][slice] : QByteArray();
}

bool CFileVTF::decodeImage(int mip, int frame, int face, int slice, QByteArray &rgba) const
{
    if (!hasImage(mip, frame, face, slice))
        return false;
    return vtfConvertToRGBA8888(m_images[mip][frame][face][slice], mipmapWidth(mip),
                                mipmapHeight(mip), m_highResFormat, rgba, m_hdrKey, m_hdrShift,
                                m_hdrGamma);
}

void CFileVTF::clampImageIndex(int &mip, int &frame, int &face, int &slice) const
{
    clampTo(mip, mipmapCount());
    clampTo(frame, frameCount());
    clampTo(face, faceCount());
    clampTo(slice, sliceCount());
}

void CFileVTF::clampImageRange(int &mipStart, int &mipEnd, int &frameStart, int &frameEnd,
                               int &faceStart, int &faceEnd, int &sliceStart, int &sliceEnd) const
{
    clampRange(mipStart, mipEnd, mipmapCount());
    clampRange(frameStart, frameEnd, frameCount());
    clampRange(faceStart, faceEnd, faceCount());
    clampRange(sliceStart, sliceEnd, sliceCount());
}

// --- Resources ------------------------------------------------------------------

VTFResource *CFileVTF::findResource(quint32 tag) const
{
    for (VTFResource *resource : m_resources) {
        if (resource->matches(tag))
            return resource;
    }
    return nullptr;
}

VTFResource *CFileVTF::addResource(quint32 tag)
{
    if (VTFResource *existing = findResource(tag))
        return existing;
    auto *resource = new VTFResource;
    resource->tag = tag;
    if (resource->matches(VTFResourceTag::LevelOfDetail))
        resource->data = VTFResourceTag::LevelOfDetailDefault;
    m_resources.append(resource);
    return resource;
}

void CFileVTF::removeResource(quint32 tag)
{
    for (int i = 0; i < m_resources.size(); ++i) {
        if (m_resources[i]->matches(tag)) {
            delete m_resources.takeAt(i);
            return;
        }
    }
}
