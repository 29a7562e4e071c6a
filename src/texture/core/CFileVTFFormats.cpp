// Format changes, the thumbnail and single-image replacement of the texture
// document. These refuse by their result only; they leave no error text.

#include "CFileVTF.h"

#include "VTFConvert.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace {
constexpr int MaxLowResSide = 16;

// Formats a texture or its thumbnail may be converted to: every convertible
// format but RGBA16161616F, whose tone-mapped decoding does not invert.
bool isTargetFormat(VTFImageFormat format)
{
    return vtfFormatIsConvertible(format) && format != IMAGE_FORMAT_RGBA16161616F;
}

bool isLowResSide(int side)
{
    return side >= 1 && side <= MaxLowResSide && (side & (side - 1)) == 0;
}

// Decodes with the fixed tone-map parameters and encodes into `to`.
bool convert(const QByteArray &source, quint16 width, quint16 height, VTFImageFormat from,
             VTFImageFormat to, QByteArray &target)
{
    QByteArray rgba;
    return vtfConvertToRGBA8888(source, width, height, from, rgba) &&
           vtfConvertFromRGBA8888(rgba, width, height, to, target);
}

// Lets the interface repaint during a long conversion, but takes no input:
// a window cannot be closed, nor its document changed, under the loop.
void processPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

void CFileVTF::lowResSizeFromLevels(quint8 &width, quint8 &height) const
{
    // The largest level that fits a thumbnail's 8-bit, at most 16-pixel sides.
    for (int level = mipmapCount() - 1; level >= 0; --level) {
        if (mipmapWidth(level) <= MaxLowResSide && mipmapHeight(level) <= MaxLowResSide) {
            width = quint8(mipmapWidth(level));
            height = quint8(mipmapHeight(level));
            return;
        }
    }
    // None (a chain that stops above 16 pixels): the smallest level halved.
    quint16 w = mipmapCount() > 0 ? mipmapWidth(0) : 1;
    quint16 h = mipmapCount() > 0 ? mipmapHeight(0) : 1;
    while (w > MaxLowResSide || h > MaxLowResSide) {
        w = qMax<quint16>(1, w / 2);
        h = qMax<quint16>(1, h / 2);
    }
    width = quint8(qMax<quint16>(1, w));
    height = quint8(qMax<quint16>(1, h));
}

bool CFileVTF::setLowResImageFormat(VTFImageFormat format)
{
    if (format != IMAGE_FORMAT_NONE && !isTargetFormat(format))
        return false;
    if (format == m_lowResFormat)
        return true;
    if (format == IMAGE_FORMAT_NONE) {
        m_lowResWidth = 0;
        m_lowResHeight = 0;
        m_lowResImage.clear();
    } else if (m_lowResFormat == IMAGE_FORMAT_NONE) {
        quint8 width = 1;
        quint8 height = 1;
        lowResSizeFromLevels(width, height);
        QByteArray zero;
        if (!vtfAllocateImage(zero, vtfComputeImageSize(width, height, format)))
            return false;
        m_lowResWidth = width;
        m_lowResHeight = height;
        m_lowResImage.swap(zero);
    } else {
        QByteArray converted;
        if (!convert(m_lowResImage, m_lowResWidth, m_lowResHeight, m_lowResFormat, format,
                     converted))
            return false;
        m_lowResImage.swap(converted);
    }
    m_lowResFormat = format;
    return true;
}

bool CFileVTF::setLowResImage(const QByteArray &bytes, int width, int height, bool encoded)
{
    if (!isLowResSide(width) || !isLowResSide(height))
        return false;
    const auto w = quint16(width);
    const auto h = quint16(height);
    if (encoded) {
        // Bytes without a format would be a thumbnail nothing can read.
        if (m_lowResFormat == IMAGE_FORMAT_NONE ||
            quint64(bytes.size()) != vtfComputeImageSize(w, h, m_lowResFormat))
            return false;
        m_lowResImage = bytes;
    } else {
        if (quint64(bytes.size()) != quint64(width) * 4 * height)
            return false;
        if (m_lowResFormat == IMAGE_FORMAT_NONE) {
            // Stored as RGBA8888, then converted to the usual thumbnail format.
            QByteArray dxt;
            if (!vtfConvertFromRGBA8888(bytes, w, h, IMAGE_FORMAT_DXT1, dxt))
                return false;
            m_lowResFormat = IMAGE_FORMAT_DXT1;
            m_lowResImage.swap(dxt);
        } else {
            QByteArray converted;
            if (!vtfConvertFromRGBA8888(bytes, w, h, m_lowResFormat, converted))
                return false;
            m_lowResImage.swap(converted);
        }
    }
    m_lowResWidth = quint8(width);
    m_lowResHeight = quint8(height);
    return true;
}

bool CFileVTF::setHighResImageFormat(VTFImageFormat format)
{
    if (!isTargetFormat(format))
        return false;
    if (format != m_highResFormat) {
        VTFImageTree converted = m_images;
        for (int level = 0; level < converted.size(); ++level) {
            const quint16 width = mipmapWidth(level);
            const quint16 height = mipmapHeight(level);
            for (VTFFaceList &faces : converted[level]) {
                for (VTFSliceList &slices : faces) {
                    for (QByteArray &image : slices) {
                        QByteArray encoded;
                        if (!convert(image, width, height, m_highResFormat, format, encoded))
                            return false;
                        image.swap(encoded);
                        processPendingEvents();
                    }
                }
            }
        }
        m_images.swap(converted);
        m_highResFormat = format;
    }
    m_flags &= ~(VTFFlag::OneBitAlpha | VTFFlag::EightBitAlpha);
    if (vtfFormatAlphaBits(format) == 1)
        m_flags |= VTFFlag::OneBitAlpha;
    else if (vtfFormatAlphaBits(format) == 8)
        m_flags |= VTFFlag::EightBitAlpha;
    return true;
}

bool CFileVTF::setImage(const QByteArray &bytes, int width, int height, int mip, int frame,
                        int face, int slice, bool encoded)
{
    if (!hasImage(mip, frame, face, slice) || width != mipmapWidth(mip) ||
        height != mipmapHeight(mip))
        return false;
    const auto w = quint16(width);
    const auto h = quint16(height);
    QByteArray &target = m_images[mip][frame][face][slice];
    if (encoded) {
        if (quint64(bytes.size()) != vtfComputeImageSize(w, h, m_highResFormat))
            return false;
        target = bytes;
        return true;
    }
    if (quint64(bytes.size()) != quint64(width) * 4 * height)
        return false;
    QByteArray converted;
    if (!vtfConvertFromRGBA8888(bytes, w, h, m_highResFormat, converted))
        return false;
    target.swap(converted);
    return true;
}
