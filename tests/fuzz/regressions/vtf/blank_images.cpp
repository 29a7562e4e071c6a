// Format NONE: images without bytes, shown as blank images of their size.
#include "FuzzRegression.h"
#include "VTFFixture.h"

namespace {
QByteArray blankTexture(quint16 side, quint16 frames, quint16 depth)
{
    VTFFixture texture;
    texture.format = -1;
    texture.bytesPerPixel = 0;
    texture.width = texture.height = side;
    texture.mips = 1;
    texture.minor = 2;
    texture.frames = frames;
    texture.depth = depth;
    return texture.build();
}
} // namespace

// 80 bytes claiming one 16384 x 16384 image: a gigabyte to show.
FUZZ_REGRESSION(blank_gigabyte_image)
{
    return blankTexture(16384, 1, 1);
}

// 65536 blank images of 64 x 64: a gigabyte in all.
FUZZ_REGRESSION(many_blank_images)
{
    return blankTexture(64, 0x8000, 2);
}
