// Format NONE: images without bytes, shown as blank images of their size.
#include "FuzzRegression.h"
#include "VTFFixture.h"

// 80 bytes claiming one 16384 x 16384 image: a gigabyte to show.
FUZZ_REGRESSION(blank_gigabyte_image)
{
    return VTFFixture::from(QStringLiteral("7.2 format:-1 bpp:0 mips:1 side:16384")).build();
}

// 65536 blank images of 64 x 64: a gigabyte in all.
FUZZ_REGRESSION(many_blank_images)
{
    return VTFFixture::from(
               QStringLiteral("7.2 format:-1 bpp:0 mips:1 side:64 frames:32768 depth:2"))
        .build();
}

// Blank images past the cap, then bytes that a save drops.
FUZZ_REGRESSION(blank_image_trailing_bytes)
{
    return VTFFixture::from("7.2 format:-1 bpp:0 mips:1 width:256 height:257 flags:0").build() +
           QByteArray(65792, '\0');
}
