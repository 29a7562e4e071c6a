#pragma once

#include "IFileClass.h"
#include "VTFFormat.h"
#include "VTFResource.h"

#include <QByteArray>
#include <QList>
#include <QVector>
#include <QtGlobal>

#include <functional>

class CBinaryReader;

// The images of a texture: mip levels (index 0 the smallest) -> frames ->
// faces -> slices, each image its encoded bytes. The tree is regular: every
// level has as many frames as the first, every frame as many faces as the
// first, every face as many slices as the first; counts are read along the
// first entries.
using VTFSliceList = QVector<QByteArray>;
using VTFFaceList = QVector<VTFSliceList>;
using VTFFrameList = QVector<VTFFaceList>;
using VTFImageTree = QVector<VTFFrameList>;

// The level from which every level's size follows by shifting: the level at
// which the smaller side first reaches 1. `level` is negative for a texture
// whose mip chain stops above the 1-pixel level. A file whose sides are not
// both powers of two takes its top level as the reference instead (see
// CFileVTF::fileReference).
struct VTFReferenceSize
{
    quint16 width = 1;
    quint16 height = 1;
    int level = 0;
};

// The most image bytes (all levels, frames, faces and slices together) a
// count change may give a texture; beyond it the change is refused as out of
// memory rather than risk the process.
inline constexpr quint64 VTFMaxTextureBytes = quint64(4) << 30;

// A texture document: the header values of a texture file, its resources, its
// thumbnail (the low-resolution image) and its image tree, every image held
// encoded in the document's (high-resolution) format.
//
// Operations that can be refused return false; the count setters then leave
// one "Request Error: ..." or "Error: Out of memory" text in m_error, the
// format and image setters leave no text. Success leaves m_error as it was.
// A refused operation leaves the document as it was.
class CFileVTF : public IFileClass<CFileVTF>
{
public:
    // A new texture of width x height: a side of 0 or one that is not a
    // power of two counts as 1. The full mip chain down to 1 x 1 is built,
    // every image zero bytes in RGBA8888; display name "untitled".
    CFileVTF(quint16 width, quint16 height);
    ~CFileVTF() override;

    // The loaders build a 1 x 1 texture and read the file over it.
    static CFileVTF *createForLoading() { return new CFileVTF(1, 1); }

    // The texture file, versions 7.0 to 7.5 (see CFileVTFFile.cpp). Reading
    // starts wherever the stream's device stands and replaces the document's
    // content (header values, resources, thumbnail, images); a failed read
    // leaves the document as it was. Writing uses the document's version and
    // stores the header size it wrote.
    using IFileClass<CFileVTF>::write;
    bool read(QDataStream &stream) override;
    bool write(QDataStream &stream) override;

    // --- Header values -------------------------------------------------------

    quint32 majorVersion() const { return m_majorVersion; }
    void setMajorVersion(quint32 version) { m_majorVersion = version; }
    // 0..5; selects the file layout.
    quint32 minorVersion() const { return m_minorVersion; }
    void setMinorVersion(quint32 version) { m_minorVersion = version; }
    // As read; every write sets it.
    quint32 headerSize() const { return m_headerSize; }
    quint32 flags() const { return m_flags; }
    void setFlags(quint32 flags) { m_flags = flags; }
    // Animation start frame; 0xFFFF on a six-face environment map.
    quint16 firstFrame() const { return m_firstFrame; }
    void setFirstFrame(quint16 frame) { m_firstFrame = frame; }
    // Channel 0 red, 1 green, 2 blue (0 outside).
    float reflectivity(int channel) const;
    void setReflectivity(float red, float green, float blue);
    float bumpmapScale() const { return m_bumpmapScale; }
    void setBumpmapScale(float scale) { m_bumpmapScale = scale; }

    VTFImageFormat highResImageFormat() const { return m_highResFormat; }
    VTFImageFormat lowResImageFormat() const { return m_lowResFormat; }
    quint8 lowResImageWidth() const { return m_lowResWidth; }
    quint8 lowResImageHeight() const { return m_lowResHeight; }
    // The thumbnail, encoded in the low-resolution format.
    const QByteArray &lowResImage() const { return m_lowResImage; }

    // Tone-map parameters for showing RGBA16161616F images (see VTFHdr.h).
    float hdrKey() const { return m_hdrKey; }
    float hdrShift() const { return m_hdrShift; }
    float hdrGamma() const { return m_hdrGamma; }
    void setHdrKey(float key) { m_hdrKey = key; }
    void setHdrShift(float shift) { m_hdrShift = shift; }
    void setHdrGamma(float gamma) { m_hdrGamma = gamma; }

    // --- Sizes and the image tree ---------------------------------------------

    // The reference for a texture whose level topLevel is width x height:
    // both sides halved, one level down each time, while both exceed 1.
    static VTFReferenceSize referenceFor(quint16 width, quint16 height, int topLevel);
    // The reference for a file whose level `levels - 1` is width x height:
    // referenceFor when both sides are powers of two, otherwise that top
    // level itself, so that level k below the top is max(1, side >> k) as the
    // file stores it. A side of 0 counts as 1.
    static VTFReferenceSize fileReference(quint16 width, quint16 height, int levels);
    // A side at `level` for a reference side at referenceLevel: at least 1
    // below the reference, shifted left above it. Computed in 64 bits and
    // saturating, so a value above 65535 shows a level too large to exist.
    static quint64 levelSide(quint16 referenceSide, int referenceLevel, int level);

    const VTFReferenceSize &referenceSize() const { return m_reference; }
    quint16 mipmapWidth(int level) const;
    quint16 mipmapHeight(int level) const;
    // The size of the largest level.
    quint16 width() const { return mipmapWidth(mipmapCount() - 1); }
    quint16 height() const { return mipmapHeight(mipmapCount() - 1); }

    // Counts along the first entries of the tree; 0 where it is empty.
    int mipmapCount() const { return m_images.size(); }
    int frameCount() const;
    int faceCount() const;
    int sliceCount() const;

    const VTFImageTree &images() const { return m_images; }
    bool hasImage(int mip, int frame, int face, int slice) const;
    // The encoded image, or an empty array where there is none.
    QByteArray image(int mip, int frame, int face, int slice) const;
    // The image decoded to RGBA8888 with the document's tone-map parameters.
    bool decodeImage(int mip, int frame, int face, int slice, QByteArray &rgba) const;

    // Each index lowered to its count - 1 where the tree has entries.
    void clampImageIndex(int &mip, int &frame, int &face, int &slice) const;
    // Each bound lowered likewise, and a start above its end swapped with it;
    // ranges are inclusive.
    void clampImageRange(int &mipStart, int &mipEnd, int &frameStart, int &frameEnd, int &faceStart,
                         int &faceEnd, int &sliceStart, int &sliceEnd) const;

    // --- Resources --------------------------------------------------------------

    // In file order; owned by the document.
    const QList<VTFResource *> &resources() const { return m_resources; }
    // The first entry with the tag's identifier, or null.
    VTFResource *findResource(quint32 tag) const;
    // The entry with the tag's identifier, appended (data 0, "LOD": bytes
    // 30, 30, 30, 30) when there is none.
    VTFResource *addResource(quint32 tag);
    // Removes the first entry with the tag's identifier, if any.
    void removeResource(quint32 tag);

    // --- Formats, thumbnail and images ---------------------------------------------

    // -1 removes the thumbnail. From none, the thumbnail takes the size of the
    // largest level whose sides are both at most 16 (or the smallest level
    // halved until they are) as zero bytes; from another format it is
    // decoded and re-encoded. False for P8, RGBA16161616F and invalid formats,
    // or when the present thumbnail does not decode.
    bool setLowResImageFormat(VTFImageFormat format);
    // Sides powers of two from 1 to 16. `encoded`: bytes in the thumbnail
    // format (refused without a format), else RGBA8888, encoded into the
    // format; a texture without a thumbnail format gets DXT1.
    bool setLowResImage(const QByteArray &bytes, int width, int height, bool encoded);
    // Converts every image (decoded with the fixed tone-map parameters) into a
    // new tree, processing pending events between images with user input
    // excluded, and commits only when every image converted. Then sets the
    // alpha flags from the format's alpha bits. False for P8, RGBA16161616F
    // and invalid formats, or when an image does not convert.
    bool setHighResImageFormat(VTFImageFormat format);

    // Count changes. New images are zero bytes of their level's size; fewer
    // keeps the first entries. See VTFErrors.h for the refusals.
    // A first frame other than 0xFFFF is lowered into the new frame range.
    bool setFrameCount(int count);
    // 1, 6 or 7 faces of a square texture with one slice. More than one face
    // sets the environment-map flag (6 faces: first frame 0xFFFF), one clears
    // it; leaving 6 faces resets the first frame to 0.
    bool setFaceCount(int count);
    // 1..13 levels: fewer drops the largest levels, more adds levels above
    // the largest (refused when a side would exceed 65535).
    bool setMipmapCount(int count);
    // A power of two, on a texture with images and one face.
    bool setSliceCount(int count);

    // Replaces the whole tree with `mipmaps` levels, the largest width x
    // height (sized by fileReference), each holding frames x faces x slices
    // zero-filled images (what a reader sizes before it fills the images in).
    // Counts beyond what a file can state (255 levels, 65535 frames or
    // slices, 7 faces) fail with the matching "Request Error: Invalid ...
    // count"; images that would exceed VTFMaxTextureBytes or a level without
    // a valid size with "Error: Out of memory". A refusal leaves the document
    // unchanged.
    bool resetImageTree(quint16 width, quint16 height, int mipmaps, int frames, int faces,
                        int slices);

    // Replaces one image. The sides must be that level's; `encoded`: bytes in
    // the document's format, else RGBA8888 encoded into it.
    bool setImage(const QByteArray &bytes, int width, int height, int mip, int frame, int face,
                  int slice, bool encoded);

    // --- Image operations (CFileVTFOperations.cpp) -----------------------------
    //
    // Ranges are inclusive and clamped to the tree first; positions missing
    // from the tree are skipped. Filters are Magick++ filter numbers (see
    // vtfFilterName). Images are decoded to RGBA8888, worked on there and
    // stored back through setImage; a refused store is skipped. RGBA16161616F
    // images are decoded untouched (as RGBA16161616) wherever pixels are
    // written back, so they are never tone-mapped twice.

    // Rebuilds the levels of the mip range from level `source`: each level
    // below (above) it is resized from the one before, in one Magick++ image
    // per direction. The source level itself is not changed.
    void generateMipmaps(int source, int mipStart, int mipEnd, int frameStart, int frameEnd,
                         int faceStart, int faceEnd, int sliceStart, int sliceEnd, int filter);
    // On one level the encoded bytes are copied; across levels the image is
    // resampled to the target level's size. False when a position is not in
    // the tree or the resampling fails.
    bool copyImage(int sourceMip, int sourceFrame, int sourceFace, int sourceSlice, int targetMip,
                   int targetFrame, int targetFace, int targetSlice, int filter);
    // Red, green and blue raised to 1 / gamma; nothing at exactly 1.
    void applyGammaCorrection(float gamma, int mipStart, int mipEnd, int frameStart, int frameEnd,
                              int faceStart, int faceEnd, int sliceStart, int sliceEnd);
    // The mean reflectivity of the images in the ranges (see
    // vtfComputeImageReflectivity), decoded with the document's tone-map
    // parameters; 0 without images. The document's own value is not changed.
    void computeReflectivity(float &red, float &green, float &blue, int mipStart, int mipEnd,
                             int frameStart, int frameEnd, int faceStart, int faceEnd,
                             int sliceStart, int sliceEnd) const;
    // Renders the spheremap of every position in the ranges from cube faces
    // 0..5 into face 6 (added when missing). False, with a message, for a
    // texture that is no environment map or has fewer than six faces.
    bool generateSpheremaps(int mipStart, int mipEnd, int frameStart, int frameEnd, int sliceStart,
                            int sliceEnd);
    // The thumbnail from one image: levels above 4 are resized to level 4's
    // size (Mitchell filter). False when the position is not in the tree or
    // setLowResImage refuses the size.
    bool generateLowResImage(int mip, int frame, int face, int slice);
    // Tries levels 4, 3, 2, 1 and 0 of the first image.
    bool generateLowResImage();

private:
    bool readFrom(CBinaryReader &in);
    // False, with `refusal` (%1 the value) in the error text, for the first of
    // the image and thumbnail formats outside NONE and 0..26: their images
    // have no size here, so they would show blank and be saved without bytes.
    bool formatsKnown(qint32 highRes, qint32 lowRes, const char *refusal);
    // resetImageTree; without `zeroFilled` every image is left null, for a
    // reader that gives each its bytes (a zero buffer first would hold the
    // texture's size twice while it reads).
    bool shapeImageTree(quint16 width, quint16 height, int mipmaps, int frames, int faces,
                        int slices, bool zeroFilled);
    // The image decoded for an operation that writes pixels back: the fixed
    // tone-map parameters, RGBA16161616F read as RGBA16161616.
    bool decodeUntoned(int mip, int frame, int face, int slice, QByteArray &rgba) const;
    // Calls `visit` for every position of the clamped ranges that exists.
    void forEachImage(int mipStart, int mipEnd, int frameStart, int frameEnd, int faceStart,
                      int faceEnd, int sliceStart, int sliceEnd,
                      const std::function<void(int, int, int, int)> &visit) const;

    void fail(const char *message);
    // Levels 0..count - 1 without the 1..13 range check (the constructor
    // builds chains of any valid size); sides above 65535 are refused.
    bool resizeMipmaps(int count, const char *tooLarge);
    // False with "Error: Out of memory" when a regular tree of these counts
    // (at the present reference and format) would exceed VTFMaxTextureBytes.
    bool reserveImages(int levels, int frames, int faces, int slices);
    // Zero bytes of one image of that level, or false when it cannot exist.
    bool zeroImage(int level, QByteArray &image) const;
    // One zero image per level first..last, or false with "Error: Out of memory".
    bool zeroLevels(int first, int last, QVector<QByteArray> &zeros);
    void lowResSizeFromLevels(quint8 &width, quint8 &height) const;

    // Header values, in file order; "as read" fields are what a file said and
    // are not kept up to date (the tree and resource list are authoritative).
    quint32 m_majorVersion = 7;
    quint32 m_minorVersion = 3;
    quint32 m_headerSize = 0;
    quint16 m_headerWidth = 0;
    quint16 m_headerHeight = 0;
    quint32 m_flags = VTFFlag::EightBitAlpha;
    quint16 m_headerFrameCount = 0;
    quint16 m_firstFrame = 0;
    quint32 m_reserved0 = 0;
    float m_reflectivity[3] = {0.5f, 0.5f, 0.5f};
    quint32 m_reserved1 = 0;
    float m_bumpmapScale = 1.0f;
    VTFImageFormat m_highResFormat = IMAGE_FORMAT_RGBA8888;
    quint8 m_headerMipCount = 0;
    VTFImageFormat m_lowResFormat = IMAGE_FORMAT_NONE;
    quint8 m_lowResWidth = 0;
    quint8 m_lowResHeight = 0;
    quint16 m_headerDepth = 0;
    quint8 m_reserved2[3] = {0, 0, 0};
    quint32 m_headerResourceCount = 0;
    quint8 m_reserved3[8] = {0, 0, 0, 0, 0, 0, 0, 0};

    QList<VTFResource *> m_resources;
    QByteArray m_lowResImage;
    VTFReferenceSize m_reference;
    float m_hdrKey = 1.25f;
    float m_hdrShift = 0.4f;
    float m_hdrGamma = 4.0f;
    VTFImageTree m_images;
};
