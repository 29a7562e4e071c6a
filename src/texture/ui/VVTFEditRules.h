#pragma once

#include "VVTFRules.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

class CFileVTF;
class QTreeWidgetItem;

// The decisions behind the texture editor's commands, apart from the widgets:
// which images a tree node names, which tree-menu entries a node allows, the
// ranges the operation dialogs start from, and how the information panel
// reads its fields.
namespace VVTFEditRules {

using VVTFRules::Counts;
using VVTFRules::TreeSelection;

// --- Image tree -----------------------------------------------------------------

// The tree selection an item of the image tree stands for, read from its text
// and its place: the "Thumbnail" item (and no item) names every mipmap, a
// mipmap item every frame, face and slice of its level, and so on down. The
// counts say which levels the tree leaves out (a level with one member).
TreeSelection resolveTreeItem(const QTreeWidgetItem *item, const Counts &counts);

// One image of the chain.
struct Position
{
    int mipmap = 0;
    int frame = 0;
    int face = 0;
    int slice = 0;

    bool operator==(const Position &other) const
    {
        return mipmap == other.mipmap && frame == other.frame && face == other.face &&
               slice == other.slice;
    }
};
// A selection made concrete: every mipmap becomes the largest level, every
// frame, face or slice the first.
Position concretePosition(const TreeSelection &selection, const Counts &counts);

// Which entries of the image tree's context menu a node allows.
struct TreeMenu
{
    bool copy = false;
    bool paste = false;
    bool fromFile = false;
    bool fromImage = false;
    bool correctGamma = false;
    bool computeReflectivity = false;
    bool generateMipmaps = false;
    bool generateSpheremaps = false;
};
// `leaf`: the node has no children; `clipboardImage`: the Edit menu's Paste
// is enabled.
TreeMenu treeMenu(bool thumbnail, bool leaf, const Counts &counts, bool clipboardImage);

// --- Operation ranges ---------------------------------------------------------------

// Inclusive bounds of the images an operation works on.
struct ImageRange
{
    int mipStart = 0, mipEnd = 0;
    int frameStart = 0, frameEnd = 0;
    int faceStart = 0, faceEnd = 0;
    int sliceStart = 0, sliceEnd = 0;

    // Start and end agree on every level.
    bool single() const
    {
        return mipStart == mipEnd && frameStart == frameEnd && faceStart == faceEnd &&
               sliceStart == sliceEnd;
    }
};
// The range a dialog starts with: the selected member, or for "all" the whole
// level. For mipmap generation "all mipmaps" stops below the largest level,
// which is the usual source.
ImageRange rangeFromSelection(const TreeSelection &selection, const Counts &counts,
                              bool mipmapGeneration);

// "W x H" of levels 0 .. count - 1 by the document's size rule (also levels
// the chain does not hold yet).
QStringList levelSizes(const CFileVTF &document, int count);

// The slice-count item preselected for a texture of that many slices: the
// number of the items 1, 2, 4 .. 65536 below it.
int slicePreselect(int sliceCount);

// --- Information panel ---------------------------------------------------------------

// Whether a click on the flag item of `bit` may toggle it: the alpha flags
// follow the format and the environment-map flag the face count, and an
// environment map cannot be a normal map.
bool flagToggles(quint32 bit, quint32 flags);

// A bumpmap scale or reflectivity typed in: a number limited to 0..1, or
// nothing for text that is not a finite number.
std::optional<float> unitValue(const QString &text);

// A level-of-detail clamp typed in: an unsigned 32-bit decimal number,
// limited to 255.
std::optional<quint8> clampValue(const QString &text);

// The texture settings word typed in: hexadecimal, "0x" allowed.
std::optional<quint32> settingsWord(const QString &text);
// How the panel shows a word: "0x" and upper-case hexadecimal.
QString hexText(quint32 value);

// The first frame typed in, applied to `firstFrame`: false for text that is
// not an unsigned 16-bit decimal number (nothing changes). A texture without
// images takes the number as it is, a six-face environment map keeps its
// first frame, any other is limited to its last frame.
bool applyFirstFrame(const QString &text, const Counts &counts, quint16 &firstFrame);

// The export file name "base_mip_frame_face_slice" with the extension (".png").
QString exportFileName(const QString &directory, const QString &base, const Position &position,
                       const QString &extension);

} // namespace VVTFEditRules
