// Texture files: read as the editor opens them, every image and the thumbnail
// decoded for display, the sprite sheet parsed as its editor parses it and
// written back, the texture written and read again.
#include "ByteBuilder.h"
#include "CFileVTF.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "VTFConvert.h"
#include "VTFFixture.h"
#include "VTFSheet.h"

#include <memory>

using FuzzCheck::require;

namespace {

template <typename Visit>
void forEachImage(const CFileVTF &texture, Visit visit)
{
    for (int mip = 0; mip < texture.mipmapCount(); ++mip)
        for (int frame = 0; frame < texture.frameCount(); ++frame)
            for (int face = 0; face < texture.faceCount(); ++face)
                for (int slice = 0; slice < texture.sliceCount(); ++slice)
                    visit(mip, frame, face, slice);
}

// The bytes the display buffers take: every image and the thumbnail in
// RGBA8888. An image that decodes was in the file (DXT1, the densest format,
// takes 8 bytes for 16 pixels) or is blank (format NONE), its pixels capped
// by the reader; the thumbnail is at most 255 x 255.
quint64 decodeForDisplay(const CFileVTF &texture)
{
    quint64 decoded = 0;
    QByteArray rgba;
    forEachImage(texture, [&](int mip, int frame, int face, int slice) {
        if (texture.decodeImage(mip, frame, face, slice, rgba))
            decoded += quint64(rgba.size());
    });
    if (vtfConvertToRGBA8888(texture.lowResImage(), texture.lowResImageWidth(),
                             texture.lowResImageHeight(), texture.lowResImageFormat(), rgba,
                             texture.hdrKey(), texture.hdrShift(), texture.hdrGamma()))
        decoded += quint64(rgba.size());
    return decoded;
}

// The sheet editor's round trip: what it writes parses to a sheet that writes
// the same bytes, and holds no more records than the payload did.
void checkSheet(const QByteArray &payload)
{
    const QByteArray written = VTFSheet::parse(payload).write();
    // Sequence headers past the frames read as zeros: at most twice the payload.
    FuzzCheck::requireLinear(quint64(written.size()), payload.size(), 2, 8, "written sheet");
    require(VTFSheet::parse(written).write() == written, "a written sheet reads back differently");
}

// Written, the texture reads back with every image it wrote and writes the
// same bytes again.
void checkRewrite(CFileVTF &texture)
{
    QByteArray first;
    if (!texture.write(&first))
        FuzzCheck::failure("writing a texture", texture.error());
    QString error;
    std::unique_ptr<CFileVTF> again(CFileVTF::fromByteArray(first, error));
    if (!again)
        FuzzCheck::failure("a written texture does not read", error);
    require(again->mipmapCount() == texture.mipmapCount() &&
                again->frameCount() == texture.frameCount() &&
                again->faceCount() <= texture.faceCount() &&
                again->sliceCount() <= texture.sliceCount(),
            "a written texture changes shape");
    forEachImage(*again, [&](int mip, int frame, int face, int slice) {
        require(again->image(mip, frame, face, slice) == texture.image(mip, frame, face, slice),
                "a written texture loses an image");
    });
    QByteArray second;
    require(again->write(&second) && second == first, "a re-read texture writes other bytes");
}

// A sheet of two sequences, one or four coordinate sets a frame.
QByteArray sheetPayload(bool fourSets)
{
    ByteBuilder b;
    b.i32(fourSets ? 1 : 0).i32(2);
    for (int sequence = 0; sequence < 2; ++sequence) {
        b.i32(sequence).i32(sequence).i32(sequence + 1).f32(1.5f);
        for (int frame = 0; frame <= sequence; ++frame) {
            b.f32(0.5f);
            for (int i = 0; i < (fourSets ? 16 : 4); ++i)
                b.f32(0.125f * float(i % 8));
        }
    }
    return b.data();
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    const FuzzCheck::ReaderWork work;
    QString error;
    std::unique_ptr<CFileVTF> texture(CFileVTF::fromByteArray(input, error));
    // The header, the two payloads (which may overlap anything) and the
    // images.
    FuzzCheck::requireLinear(work.taken(), input.size(), 3, 1024, "texture read");
    if (!texture) {
        require(!error.isEmpty(), "a texture fails without a reason");
        return 0;
    }
    FuzzCheck::requireLinear(decodeForDisplay(*texture), input.size(), 8, 512 * 1024,
                             "decoded images");
    if (const VTFResource *sheet = texture->findResource(VTFResourceTag::Sheet))
        checkSheet(sheet->payload);
    checkRewrite(*texture);
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    // Changes of a plain 4 x 4 RGBA8888 texture of three levels: cube maps of
    // six faces in 7.5 and seven (with the spheremap) before, one DXT5 block,
    // one tone-mapped 16-bit float image. The 7.4 and 7.5 seeds carry sheets
    // of one and of four coordinate sets a frame.
    QList<QByteArray> seeds;
    for (const char *words : {"7.3", "7.0", "7.2 depth:2 frames:2", "7.4 thumbnail lod ts0 crc kvd",
                              "7.5 flags:0x4000 faces:6", "7.1 flags:0x4000 faces:7",
                              "7.3 format:15 bpp:1 mips:1", "7.3 format:24 bpp:8"}) {
        VTFFixture texture = VTFFixture::from(QLatin1String(words));
        if (texture.minor >= 4)
            texture.sheet = sheetPayload(texture.minor == 5);
        seeds << texture.build();
    }
    return seeds;
}
