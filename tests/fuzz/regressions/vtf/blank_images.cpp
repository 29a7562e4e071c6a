// Format NONE: images without bytes, shown as blank images of their size.
#include "FuzzRegression.h"
#include "VTFFixture.h"

// 80 bytes claiming one 16384 x 16384 image: a gigabyte to show.
FUZZ_REGRESSION(blank_gigabyte_image)
{
    VTFFixture texture;
    texture.format = -1;
    texture.width = texture.height = 16384;
    texture.mips = 1;
    texture.bytesPerPixel = 0;
    return texture.build();
}

// 65536 blank images of 64 x 64: a gigabyte in all.
FUZZ_REGRESSION(many_blank_images)
{
    VTFFixture texture;
    texture.format = -1;
    texture.width = texture.height = 64;
    texture.mips = 1;
    texture.frames = 0x8000;
    texture.minor = 2;
    texture.depth = 2;
    texture.bytesPerPixel = 0;
    return texture.build();
}
