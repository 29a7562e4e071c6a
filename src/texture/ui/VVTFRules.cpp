#include "VVTFRules.h"

#include "CFileVTF.h"
#include "VTFResizeRule.h"
#include "functions.h"

namespace VVTFRules {
namespace {
// The most faces, frames or slices a texture file can state.
constexpr int MaxFaces = 7;
constexpr int MaxFramesOrSlices = 0xFFFF;
} // namespace

Counts counts(const CFileVTF *document)
{
    Counts c;
    if (!document)
        return c;
    c.mipmaps = document->mipmapCount();
    c.frames = document->frameCount();
    c.faces = document->faceCount();
    c.slices = document->sliceCount();
    if (c.treeEmpty())
        c.frames = c.faces = c.slices = 0;
    return c;
}

Stepper stepper(int current, int count)
{
    Stepper s;
    s.left = current != 0;
    s.right = current < count - 1;
    s.counter = QStringLiteral("%1/%2").arg(current).arg(qMax(0, count - 1));
    return s;
}

bool hdrControlsEnabled(const CFileVTF *document)
{
    return document && (document->highResImageFormat() == IMAGE_FORMAT_RGBA16161616F ||
                        document->lowResImageFormat() == IMAGE_FORMAT_RGBA16161616F);
}

Navigation navigation(const CFileVTF *document, int mipmap, int frame, int face, int slice)
{
    const Counts c = counts(document);
    Navigation n;
    n.mipmap = stepper(mipmap, c.mipmaps);
    n.frame = stepper(frame, c.frames);
    n.face = stepper(face, c.faces);
    n.slice = stepper(slice, c.slices);
    n.hdr = hdrControlsEnabled(document);
    n.animation = !c.treeEmpty() && c.frames > 1;
    return n;
}

Commands commands(const CFileVTF &document)
{
    const Counts c = counts(&document);
    Commands commands;
    commands.generateMipmaps = c.mipmaps > 1;
    commands.generateSpheremaps = c.faces > 1;
    if (c.faces == 1 || c.faces == 6 || c.faces == 7)
        commands.faceCountTick = c.faces;
    const VTFReferenceSize &reference = document.referenceSize();
    commands.faceCountMenu = reference.width == reference.height && c.slices == 1;
    commands.sliceCount = c.faces == 1;
    commands.animation = c.frames > 1;
    commands.resources = document.minorVersion() > 2;
    return commands;
}

void normalize(TreeSelection &selection, const Counts &counts)
{
    if (selection.mipmap == TreeSelection::AllMipmaps && counts.mipmaps == 1)
        selection.mipmap = 0;
    if (selection.frame == -1 && counts.frames == 1)
        selection.frame = 0;
    if (selection.face == -1 && counts.faces == 1)
        selection.face = 0;
    if (selection.slice == -1 && counts.slices == 1)
        selection.slice = 0;
}

QString faceLabel(int face, bool namedFaces)
{
    const QString name = namedFaces ? vtfFaceName(face) : QString();
    return name.isEmpty() ? QStringLiteral("Face %1").arg(face) : name;
}

int resizedSide(int source, int mode, int clampItem)
{
    return vtfResizedSide(source, mode, clampItem);
}

int applyImportLayout(CFileVTF &document, ImportLayout layout, int imageCount)
{
    if (imageCount <= 1)
        return qMax(imageCount, 0);
    bool placed = false;
    switch (layout) {
    case ImportLayout::Faces:
        placed = imageCount <= MaxFaces && document.setFaceCount(imageCount);
        break;
    case ImportLayout::Slices:
        placed = imageCount <= MaxFramesOrSlices && document.setSliceCount(imageCount);
        break;
    case ImportLayout::Frames:
        placed = imageCount <= MaxFramesOrSlices && document.setFrameCount(imageCount);
        break;
    }
    return placed ? imageCount : 1;
}

} // namespace VVTFRules
