#pragma once

#include <QString>

class CPackageHierarchyNode;
class IPackageDelegate;

// What the package viewer's properties dialog shows for one entry: which rows
// are visible and their texts. Built from the delegate alone, so every
// package kind is covered without a window.
class CPackageProperties
{
public:
    // Upper block, then (below the line) the lower block, in dialog order.
    enum Row
    {
        Type,
        Path,
        Size,
        SizeOnDisk,
        Contents,
        Offset,
        Version,
        FourCC,
        LocalHeaderOffset,
        Fragmentation,
        Flags,
        Encrypted,
        MakeLocalCopy,
        OverwriteLocalCopy,
        BackupLocalCopy,
        PreloadBytes,
        Archive,
        Crc,
        RowCount
    };
    static constexpr int UpperRows = Offset;

    // The caption of a row ("Type:", "Size On Disk:", ...).
    static QString caption(Row row);

    // The properties of node; `valid` false when there is nothing to show (no
    // node, no delegate of a known kind, or a directory record missing).
    static CPackageProperties describe(IPackageDelegate *delegate, CPackageHierarchyNode *node);

    // "0x" and eight upper-case hex digits.
    static QString hex8(quint32 value);
    // "1,234,567 Bytes".
    static QString bytes(qint64 value);
    // Fixed, four decimals, then "%": "12.5000%".
    static QString percent(float value);

    bool valid = false;
    // The dialog's title: the node's name ("root" for the root).
    QString title;
    bool visible[RowCount] = {};
    QString values[RowCount];
    // The line between the upper and the lower block.
    bool lineVisible = false;
};
