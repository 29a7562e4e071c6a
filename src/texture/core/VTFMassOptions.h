#pragma once

#include "VTFFormat.h"

#include <QString>
#include <QtGlobal>

#include <array>

// What a level-of-detail or texture-settings resource gets in a bulk
// conversion (see VTFMassConverter::applyResource).
struct VTFMassResourceRule
{
    // Unchecked: a texture source loses the resource; an image source gets none.
    bool enabled = false;
    // "Modify" (true) or "Skip": whether a resource a texture has is set.
    bool modify = true;
    // "All" (true) or "Existing".
    bool all = true;
};

// The settings of one bulk texture conversion, as the converter window holds
// them.
struct VTFMassOptions
{
    enum FilterMode
    {
        Wildcard = 0,
        Substring = 1,
        RegEx = 2
    };
    // Images of a split export are named by these levels, in this order.
    enum Level
    {
        Mipmaps = 0,
        Frames = 1,
        Faces = 2,
        Slices = 3
    };

    int filterMode = Wildcard;
    QString filterText = QStringLiteral("*");
    // Format texts ("VTF", "PNG", ...) are the extensions matched and written.
    QString sourceFormat = QStringLiteral("PNG");
    QString targetFormat = QStringLiteral("VTF");
    QString sourceDirectory;
    QString targetDirectory;
    bool recursive = false;
    bool preserveStructure = false;
    bool overwrite = false;

    // Texture targets. The set* switches matter for texture sources only; an
    // image source always gets the version and both formats.
    bool setVersion = false;
    int version = 3;
    bool setThumbnailFormat = false;
    // NONE removes (or, for an image source, leaves out) the thumbnail.
    VTFImageFormat thumbnailFormat = IMAGE_FORMAT_DXT1;
    bool setImageFormat = false;
    VTFImageFormat imageFormat = IMAGE_FORMAT_DXT5;
    quint32 flagsToSet = 0;
    quint32 flagsToClear = 0;
    VTFMassResourceRule levelOfDetail;
    VTFMassResourceRule textureSettings;
    // PC clamp X, X360 clamp X, PC clamp Y, X360 clamp Y (the window's order).
    std::array<quint8, 4> levelOfDetailValues{{30, 30, 30, 30}};
    quint32 textureSettingsValue = 0;

    // Image sources: the resize filter entry (filter number - 1), and per
    // side the method (0 nearest, 1 next, 2 previous, 3 exact power of two)
    // and the clamp exponent (2^n is the largest side, or the side itself).
    int resizeFilter = 11;
    int widthMethod = 0;
    int widthClamp = 12;
    int heightMethod = 0;
    int heightClamp = 12;

    // Image targets: which levels are exported whole (by Level), and the
    // separator put before each level's number in the names.
    std::array<bool, 4> exportAll{{false, false, false, false}};
    std::array<QString, 4> separators{
        {QStringLiteral("_"), QStringLiteral("_"), QStringLiteral("_"), QStringLiteral("_")}};
};
