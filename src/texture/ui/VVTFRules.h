#pragma once

#include <QString>
#include <QtGlobal>

class CFileVTF;

// The texture editor's decisions, kept apart from its widgets so that each can
// be checked on a document alone: counters and enabled states, which commands
// a texture allows, how a tree selection narrows to one image, how a source
// side becomes a power of two, and where imported images go.
namespace VVTFRules {

// Counts along the first entries of the image tree: mipmaps of the document,
// frames of mipmap 0, faces of its frame 0, slices of that face 0. A null
// document counts nothing.
struct Counts
{
    int mipmaps = 0;
    int frames = 0;
    int faces = 0;
    int slices = 0;

    // Some first member is missing: the window then counts no frames, faces
    // or slices at all.
    bool treeEmpty() const { return mipmaps == 0 || frames == 0 || faces == 0 || slices == 0; }
};
Counts counts(const CFileVTF *document);

// One row of the navigation grid: the arrows and the counter "current/last".
struct Stepper
{
    bool left = false;
    bool right = false;
    QString counter;
};
// For an index among `count` members; no members reads "0/0".
Stepper stepper(int current, int count);

struct Navigation
{
    Stepper mipmap, frame, face, slice;
    // Key, shift and gamma sliders.
    bool hdr = false;
    bool animation = false;
};
Navigation navigation(const CFileVTF *document, int mipmap, int frame, int face, int slice);

// The tone-map sliders matter only where a 16-bit float image is decoded.
bool hdrControlsEnabled(const CFileVTF *document);

// What a freshly opened texture allows.
struct Commands
{
    bool generateMipmaps = false;
    bool generateSpheremaps = false;
    // 1, 6 or 7: the face-count entry to tick; 0 ticks none.
    int faceCountTick = 0;
    bool faceCountMenu = false;
    bool sliceCount = false;
    bool animation = false;
    bool resources = false;
};
Commands commands(const CFileVTF &document);

// A node of the image tree as the window remembers it: mipmap 255 stands for
// every mipmap (and for the thumbnail), -1 for every frame, face or slice.
struct TreeSelection
{
    static constexpr quint8 AllMipmaps = 255;

    quint8 mipmap = AllMipmaps;
    qint32 frame = -1;
    qint16 face = -1;
    qint32 slice = -1;

    bool namesOneImage() const
    {
        return mipmap != AllMipmaps && frame >= 0 && face >= 0 && slice >= 0;
    }
};
// A level that holds "all" while the document has exactly one member there
// becomes that member, 0.
void normalize(TreeSelection &selection, const Counts &counts);

// The label of a face item: the cube names on an environment map of at least
// six faces, else "Face n".
QString faceLabel(int face, bool namedFaces);

// The side a source side becomes. Modes 0..2 take the nearest, next or
// previous power of two, limited to 2^clampItem; mode 3 is exactly 2^clampItem.
int resizedSide(int source, int mode, int clampItem);

// How the images of a multi-image file are laid out in a new texture.
enum class ImportLayout
{
    Frames,
    Faces,
    Slices
};
// Gives the texture room for `imageCount` images on the layout's level and
// returns how many of them find a place there: all of them, or 1 when the
// document refused the count (its error text says why). Counts no file can
// state are refused before they reach the document, never narrowed.
int applyImportLayout(CFileVTF &document, ImportLayout layout, int imageCount);

} // namespace VVTFRules
