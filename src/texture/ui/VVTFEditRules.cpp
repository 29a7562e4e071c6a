#include "VVTFEditRules.h"

#include "CFileVTF.h"

#include <QTreeWidget>

#include <cmath>

namespace VVTFEditRules {
namespace {
// Slice counts offered: 2^0 .. 2^16.
constexpr int SliceItems = 17;
constexpr int SixFaces = 6;

// The item's place among its siblings (top-level items count the
// "Thumbnail" item as 0); -1 when it has none.
int placeOf(const QTreeWidgetItem *item)
{
    if (!item)
        return -1;
    if (const QTreeWidgetItem *parent = item->parent())
        return parent->indexOfChild(const_cast<QTreeWidgetItem *>(item));
    const QTreeWidget *tree = item->treeWidget();
    return tree ? tree->indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(item)) : -1;
}

// A mipmap item's level: its place after the "Thumbnail" item.
quint8 mipmapOf(const QTreeWidgetItem *item)
{
    const int place = placeOf(item);
    return place >= 1 && place <= 0xFF ? quint8(place - 1) : TreeSelection::AllMipmaps;
}

// From a face item (or, without a face level, the item standing in for it)
// up through the frame level to the mipmap.
void resolveAbove(const QTreeWidgetItem *item, const Counts &counts, TreeSelection &selection)
{
    if (counts.faces > 1) {
        selection.face = qint16(placeOf(item));
        item = item ? item->parent() : nullptr;
    } else {
        selection.face = -1;
    }
    if (counts.frames > 1) {
        selection.frame = placeOf(item);
        item = item ? item->parent() : nullptr;
    } else {
        selection.frame = -1;
    }
    selection.mipmap = mipmapOf(item);
}

int lastOf(int count)
{
    return qMax(0, count - 1);
}
} // namespace

TreeSelection resolveTreeItem(const QTreeWidgetItem *item, const Counts &counts)
{
    TreeSelection selection;
    if (!item)
        return selection;
    const QString text = item->text(0);
    if (text.startsWith(QLatin1String("Thumbnail")))
        return selection;
    if (text.contains(QLatin1String(" x "))) {
        selection.mipmap = mipmapOf(item);
    } else if (text.startsWith(QLatin1String("Frame "))) {
        selection.frame = placeOf(item);
        selection.mipmap = mipmapOf(item->parent());
    } else if (text.startsWith(QLatin1String("Slice "))) {
        selection.slice = placeOf(item);
        resolveAbove(item->parent(), counts, selection);
    } else {
        resolveAbove(item, counts, selection);
    }
    return selection;
}

Position concretePosition(const TreeSelection &selection, const Counts &counts)
{
    Position p;
    p.mipmap =
        selection.mipmap == TreeSelection::AllMipmaps ? lastOf(counts.mipmaps) : selection.mipmap;
    p.frame = qMax(0, selection.frame);
    p.face = qMax(0, int(selection.face));
    p.slice = qMax(0, selection.slice);
    return p;
}

TreeMenu treeMenu(bool thumbnail, bool leaf, const Counts &counts, bool clipboardImage)
{
    TreeMenu menu;
    if (thumbnail) {
        menu.fromImage = true;
        return menu;
    }
    menu.copy = true;
    menu.paste = clipboardImage;
    menu.fromFile = leaf;
    const bool severalImages =
        counts.mipmaps > 1 || counts.frames > 1 || counts.faces > 1 || counts.slices > 1;
    menu.fromImage = leaf && severalImages;
    menu.correctGamma = true;
    menu.computeReflectivity = true;
    menu.generateMipmaps = counts.mipmaps > 1;
    menu.generateSpheremaps = counts.faces > 1;
    return menu;
}

ImageRange rangeFromSelection(const TreeSelection &selection, const Counts &counts,
                              bool mipmapGeneration)
{
    ImageRange r;
    if (selection.mipmap == TreeSelection::AllMipmaps) {
        r.mipStart = 0;
        r.mipEnd = mipmapGeneration ? qMax(0, counts.mipmaps - 2) : lastOf(counts.mipmaps);
    } else {
        r.mipStart = r.mipEnd = selection.mipmap;
    }
    const auto level = [](int selected, int count, int &start, int &end) {
        start = selected < 0 ? 0 : selected;
        end = selected < 0 ? lastOf(count) : selected;
    };
    level(selection.frame, counts.frames, r.frameStart, r.frameEnd);
    level(selection.face, counts.faces, r.faceStart, r.faceEnd);
    level(selection.slice, counts.slices, r.sliceStart, r.sliceEnd);
    return r;
}

QStringList levelSizes(const CFileVTF &document, int count)
{
    QStringList sizes;
    const VTFReferenceSize &reference = document.referenceSize();
    for (int level = 0; level < count; ++level)
        sizes << QStringLiteral("%1 x %2")
                     .arg(CFileVTF::levelSide(reference.width, reference.level, level))
                     .arg(CFileVTF::levelSide(reference.height, reference.level, level));
    return sizes;
}

int slicePreselect(int sliceCount)
{
    int below = 0;
    while (below < SliceItems && (1 << below) < sliceCount)
        ++below;
    return qMin(below, SliceItems - 1);
}

bool flagToggles(quint32 bit, quint32 flags)
{
    if (bit == VTFFlag::OneBitAlpha || bit == VTFFlag::EightBitAlpha ||
        bit == VTFFlag::EnvironmentMap)
        return false;
    // "Normal Map".
    constexpr quint32 NormalMap = 0x80;
    return !(bit == NormalMap && (flags & VTFFlag::EnvironmentMap));
}

std::optional<float> unitValue(const QString &text)
{
    bool ok = false;
    const float value = text.toFloat(&ok);
    if (!ok || std::isnan(value))
        return std::nullopt;
    return qBound(0.0f, value, 1.0f);
}

std::optional<quint8> clampValue(const QString &text)
{
    bool ok = false;
    const quint32 value = text.toUInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return quint8(qMin<quint32>(value, 0xFF));
}

std::optional<quint32> settingsWord(const QString &text)
{
    bool ok = false;
    const quint32 value = text.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return value;
}

QString hexText(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

bool applyFirstFrame(const QString &text, const Counts &counts, quint16 &firstFrame)
{
    bool ok = false;
    const quint16 value = text.toUShort(&ok, 10);
    if (!ok)
        return false;
    if (counts.treeEmpty())
        firstFrame = value;
    else if (counts.faces != SixFaces)
        firstFrame = quint16(qMin(int(value), counts.frames - 1));
    return true;
}

QString exportFileName(const QString &directory, const QString &base, const Position &position,
                       const QString &extension)
{
    return directory + base +
           QStringLiteral("_%1_%2_%3_%4")
               .arg(position.mipmap)
               .arg(position.frame)
               .arg(position.face)
               .arg(position.slice) +
           extension;
}

} // namespace VVTFEditRules
