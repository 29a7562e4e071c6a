// The image operations of the texture document: mipmap generation, copies
// across levels, gamma, reflectivity, spheremaps and the thumbnail. Each
// decodes to RGBA8888, works there (resizing through Magick++) and stores
// through setImage / setLowResImage, which encode into the document's formats.

#include "CFileVTF.h"

#include "VTFConvert.h"
#include "VTFErrors.h"
#include "VTFImageTools.h"
#include "VTFMagick.h"
#include "VTFSpheremap.h"

namespace {
// The Magick++ filter the thumbnail is resized with ("Mitchell").
constexpr int ThumbnailFilter = 12;
// Thumbnails come from this level (16 x 16 on a full chain) or a smaller one.
constexpr int ThumbnailLevel = 4;

// The inclusive range start..end limited to 0..count - 1 (empty when the
// range lies outside).
struct Span
{
    int first;
    int last;
};

Span span(int start, int end, int count)
{
    return Span{qMax(start, 0), qMin(end, count - 1)};
}
} // namespace

bool CFileVTF::decodeUntoned(int mip, int frame, int face, int slice, QByteArray &rgba) const
{
    if (!hasImage(mip, frame, face, slice))
        return false;
    // The 16-bit format read as plain integers: decoding and encoding it
    // round-trip, where tone mapping would darken it on every pass.
    const VTFImageFormat format =
        m_highResFormat == IMAGE_FORMAT_RGBA16161616F ? IMAGE_FORMAT_RGBA16161616 : m_highResFormat;
    return vtfConvertToRGBA8888(m_images[mip][frame][face][slice], mipmapWidth(mip),
                                mipmapHeight(mip), format, rgba);
}

void CFileVTF::forEachImage(int mipStart, int mipEnd, int frameStart, int frameEnd, int faceStart,
                            int faceEnd, int sliceStart, int sliceEnd,
                            const std::function<void(int, int, int, int)> &visit) const
{
    clampImageRange(mipStart, mipEnd, frameStart, frameEnd, faceStart, faceEnd, sliceStart,
                    sliceEnd);
    const Span mips = span(mipStart, mipEnd, mipmapCount());
    const Span frames = span(frameStart, frameEnd, frameCount());
    const Span faces = span(faceStart, faceEnd, faceCount());
    const Span slices = span(sliceStart, sliceEnd, sliceCount());
    for (int mip = mips.first; mip <= mips.last; ++mip)
        for (int frame = frames.first; frame <= frames.last; ++frame)
            for (int face = faces.first; face <= faces.last; ++face)
                for (int slice = slices.first; slice <= slices.last; ++slice)
                    visit(mip, frame, face, slice);
}

void CFileVTF::generateMipmaps(int source, int mipStart, int mipEnd, int frameStart, int frameEnd,
                               int faceStart, int faceEnd, int sliceStart, int sliceEnd, int filter)
{
    if (source < 0 || source >= mipmapCount())
        return;
    clampImageRange(mipStart, mipEnd, frameStart, frameEnd, faceStart, faceEnd, sliceStart,
                    sliceEnd);
    const int sourceWidth = mipmapWidth(source);
    const int sourceHeight = mipmapHeight(source);
    // Resizes step by step from the source towards `last`, storing each level.
    auto chain = [&](int frame, int face, int slice, int first, int last, int step) {
        QByteArray rgba;
        if (!decodeUntoned(source, frame, face, slice, rgba))
            return;
        Magick::Image image = vtfMagickFromImage(rgba, sourceWidth, sourceHeight);
        for (int level = first; step < 0 ? level >= last : level <= last; level += step) {
            const int width = mipmapWidth(level);
            const int height = mipmapHeight(level);
            if (!vtfResizeMagick(image, width, height, filter))
                return;
            setImage(vtfImageFromMagick(image), width, height, level, frame, face, slice, false);
        }
    };
    // The mip range only bounds the levels written: the frame, face and slice
    // ranges are walked at the source level.
    forEachImage(source, source, frameStart, frameEnd, faceStart, faceEnd, sliceStart, sliceEnd,
                 [&](int, int frame, int face, int slice) {
                     if (source > mipStart)
                         chain(frame, face, slice, qMin(mipEnd, source - 1), qMax(mipStart, 0), -1);
                     if (source < mipEnd)
                         chain(frame, face, slice, qMax(source + 1, mipStart),
                               qMin(mipEnd, mipmapCount() - 1), 1);
                 });
}

bool CFileVTF::copyImage(int sourceMip, int sourceFrame, int sourceFace, int sourceSlice,
                         int targetMip, int targetFrame, int targetFace, int targetSlice,
                         int filter)
{
    if (!hasImage(sourceMip, sourceFrame, sourceFace, sourceSlice) ||
        !hasImage(targetMip, targetFrame, targetFace, targetSlice))
        return false;
    if (sourceMip == targetMip) {
        m_images[targetMip][targetFrame][targetFace][targetSlice] =
            m_images[sourceMip][sourceFrame][sourceFace][sourceSlice];
        return true;
    }
    QByteArray rgba;
    if (!decodeUntoned(sourceMip, sourceFrame, sourceFace, sourceSlice, rgba))
        return false;
    Magick::Image image = vtfMagickFromImage(rgba, mipmapWidth(sourceMip), mipmapHeight(sourceMip));
    const int width = mipmapWidth(targetMip);
    const int height = mipmapHeight(targetMip);
    if (!vtfResizeMagick(image, width, height, filter))
        return false;
    return setImage(vtfImageFromMagick(image), width, height, targetMip, targetFrame, targetFace,
                    targetSlice, false);
}

void CFileVTF::applyGammaCorrection(float gamma, int mipStart, int mipEnd, int frameStart,
                                    int frameEnd, int faceStart, int faceEnd, int sliceStart,
                                    int sliceEnd)
{
    if (gamma == 1.0f)
        return;
    forEachImage(mipStart, mipEnd, frameStart, frameEnd, faceStart, faceEnd, sliceStart, sliceEnd,
                 [&](int mip, int frame, int face, int slice) {
                     QByteArray rgba;
                     if (!decodeUntoned(mip, frame, face, slice, rgba))
                         return;
                     const int width = mipmapWidth(mip);
                     const int height = mipmapHeight(mip);
                     vtfApplyGamma(rgba, width, height, gamma);
                     setImage(rgba, width, height, mip, frame, face, slice, false);
                 });
}

void CFileVTF::computeReflectivity(float &red, float &green, float &blue, int mipStart, int mipEnd,
                                   int frameStart, int frameEnd, int faceStart, int faceEnd,
                                   int sliceStart, int sliceEnd) const
{
    double sum[3] = {0, 0, 0};
    qint64 count = 0;
    forEachImage(mipStart, mipEnd, frameStart, frameEnd, faceStart, faceEnd, sliceStart, sliceEnd,
                 [&](int mip, int frame, int face, int slice) {
                     ++count;
                     QByteArray rgba;
                     if (!decodeImage(mip, frame, face, slice, rgba))
                         return;
                     float r, g, b;
                     vtfComputeImageReflectivity(rgba, mipmapWidth(mip), mipmapHeight(mip), r, g,
                                                 b);
                     sum[0] += r;
                     sum[1] += g;
                     sum[2] += b;
                 });
    const double scale = count > 0 ? 1.0 / double(count) : 0.0;
    red = float(sum[0] * scale);
    green = float(sum[1] * scale);
    blue = float(sum[2] * scale);
}

bool CFileVTF::generateSpheremaps(int mipStart, int mipEnd, int frameStart, int frameEnd,
                                  int sliceStart, int sliceEnd)
{
    if (!(m_flags & VTFFlag::EnvironmentMap)) {
        fail(VTFError::NotEnvmap);
        return false;
    }
    if (!hasImage(0, 0, 0, 0) || faceCount() < VTFLayout::CubeFaces) {
        fail(VTFError::EnvmapFaces);
        return false;
    }
    if (!setFaceCount(VTFLayout::CubeFacesWithSpheremap))
        return false;
    forEachImage(mipStart, mipEnd, frameStart, frameEnd, VTFFace::Spheremap, VTFFace::Spheremap,
                 sliceStart, sliceEnd, [&](int mip, int frame, int, int slice) {
                     QVector<QByteArray> faces(VTFLayout::CubeFaces);
                     for (int face = 0; face < VTFLayout::CubeFaces; ++face) {
                         if (!decodeUntoned(mip, frame, face, slice, faces[face]))
                             return;
                     }
                     const int width = mipmapWidth(mip);
                     const int height = mipmapHeight(mip);
                     setImage(vtfSpheremap(faces, width, height), width, height, mip, frame,
                              VTFFace::Spheremap, slice, false);
                 });
    return true;
}

bool CFileVTF::generateLowResImage(int mip, int frame, int face, int slice)
{
    QByteArray rgba;
    if (!decodeImage(mip, frame, face, slice, rgba))
        return false;
    int width = mipmapWidth(mip);
    int height = mipmapHeight(mip);
    if (mip > ThumbnailLevel) {
        Magick::Image image = vtfMagickFromImage(rgba, width, height);
        width = mipmapWidth(ThumbnailLevel);
        height = mipmapHeight(ThumbnailLevel);
        if (!vtfResizeMagick(image, width, height, ThumbnailFilter))
            return false;
        rgba = vtfImageFromMagick(image);
    }
    return setLowResImage(rgba, width, height, false);
}

bool CFileVTF::generateLowResImage()
{
    for (int level = ThumbnailLevel; level >= 0; --level) {
        if (generateLowResImage(level, 0, 0, 0))
            return true;
    }
    return false;
}
