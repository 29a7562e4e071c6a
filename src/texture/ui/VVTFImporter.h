#pragma once

#include "VTFFormat.h"
#include "VVTFRules.h"

#include <QByteArray>
#include <QString>

#include <functional>

class CFileVTF;
class QImage;
class QImageReader;

// What a texture built from an image file is made with (the new-image
// widget's choices).
struct VVTFImportSettings
{
    VTFImageFormat format = IMAGE_FORMAT_DXT5;
    VVTFRules::ImportLayout layout = VVTFRules::ImportLayout::Frames;
    // The image library's filter number (1..29).
    int filter = 12;
    int widthMode = 0;
    int widthClamp = 12;
    int heightMode = 0;
    int heightClamp = 12;
    bool computeReflectivity = true;
    bool generateMipmaps = true;
    bool generateSpheremaps = true;
};

// Builds a texture from every image a reader holds: each resized to the
// power-of-two target and stored in the largest mipmap as a frame, face or
// slice, then reflectivity, mipmaps, thumbnail and spheremaps as chosen, and
// last the format. No widgets: the caller reports progress and the outcome.
class VVTFImporter
{
public:
    // Called with each step's label before the step begins.
    std::function<void(const char *step)> onStep;

    // A new texture the caller owns, or null with `error` set (the reader's
    // own text when an image cannot be read). Each place gets the next image
    // of the file: the pages of a TIFF, the frames of an animation.
    CFileVTF *import(QImageReader &reader, const VVTFImportSettings &settings);

    QString error;
    // Images in the file, and how many of them found no place in the layout
    // (the texture refused that many frames, faces or slices).
    int imageCount = 0;
    int dropped = 0;

private:
    void step(const char *label);
    // The image at the target size as RGBA8888, or empty when resizing failed.
    QByteArray targetPixels(const QImage &image, int width, int height, int filter) const;
};
