#include "CPackageProperties.h"

#include "CCacheDirectoryEntry.h"
#include "CDelegateBSP.h"
#include "CDelegateGCF.h"
#include "CDelegateNCF.h"
#include "CDelegateVPK.h"
#include "CPackageHierarchyNode.h"
#include "CPath.h"
#include "CVPKDirectoryEntry.h"
#include "functions.h"

namespace {

constexpr int LumpCount = 64;

const char *const Captions[CPackageProperties::RowCount] = {"Type:",
                                                            "Path:",
                                                            "Size:",
                                                            "Size On Disk:",
                                                            "Contents:",
                                                            "Offset:",
                                                            "Version:",
                                                            "FourCC:",
                                                            "Local Header Offset:",
                                                            "Fragmentation:",
                                                            "Flags:",
                                                            "Encrypted:",
                                                            "Make Local Copy:",
                                                            "Overwrite Local Copy:",
                                                            "Backup Local Copy:",
                                                            "Preload Bytes:",
                                                            "Archive:",
                                                            "CRC:"};

QString trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

QString CPackageProperties::caption(Row row)
{
    return row >= 0 && row < RowCount ? QString::fromLatin1(Captions[row]) : QString();
}

QString CPackageProperties::hex8(quint32 value)
{
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

QString CPackageProperties::bytes(qint64 value)
{
    return formatGroupedNumber(quint64(qMax<qint64>(0, value))) + QStringLiteral(" Bytes");
}

QString CPackageProperties::percent(float value)
{
    return QString::number(double(value), 'f', 4) + QLatin1Char('%');
}

CPackageProperties CPackageProperties::describe(IPackageDelegate *delegate,
                                                CPackageHierarchyNode *node)
{
    CPackageProperties p;
    const int type = delegate ? delegate->type() : 0;
    if (!node || type < 1 || type > 4)
        return p;
    const bool file = node->isLeaf();
    const int index = node->entryIndex;
    const bool cache = type == 2 || type == 3;

    auto *bsp = type == 1 ? qobject_cast<CDelegateBSP *>(delegate) : nullptr;
    auto *ncf = cache ? qobject_cast<CDelegateNCF *>(delegate) : nullptr;
    auto *vpk = type == 4 ? qobject_cast<CDelegateVPK *>(delegate) : nullptr;
    if ((type == 1 && !bsp) || (cache && !ncf) || (type == 4 && !vpk))
        return p;

    const bool lump = bsp && file && index >= 0 && index < LumpCount;
    const bool pakfile =
        bsp && file && index >= LumpCount && index - LumpCount < bsp->pakfileEntries().size();

    bool *show = p.visible;
    show[Type] = show[Path] = show[Size] = show[SizeOnDisk] = true;
    show[Contents] = !file;
    show[Offset] = show[Version] = show[FourCC] = lump;
    show[LocalHeaderOffset] = pakfile;
    show[Fragmentation] = type == 2;
    show[Flags] = cache;
    show[Encrypted] = show[MakeLocalCopy] = show[OverwriteLocalCopy] = show[BackupLocalCopy] =
        cache && file;
    show[PreloadBytes] = show[Archive] = type == 4 && file;
    show[Crc] = file && (type == 4 || pakfile);
    p.lineVisible = cache || file;

    QString *text = p.values;
    if (!file) {
        text[Type] = QStringLiteral("Folder");
        const auto counts = node->counts();
        text[Contents] =
            QStringLiteral("%1 Folder(s), %2 File(s)").arg(counts.first).arg(counts.second);
    } else {
        CPath path;
        path.setFileName(node->name());
        text[Type] = (path.extension().toUpper() + QStringLiteral(" File")).trimmed();
        if (lump) {
            text[Offset] = QString::number(quint32(bsp->lumpInfo(index, 1)));
            text[Version] = QString::number(quint32(bsp->lumpInfo(index, 3)));
            text[FourCC] = hex8(quint32(bsp->lumpInfo(index, 4)));
        } else if (bsp) {
            if (!pakfile || !bsp->pakfileEntries()[index - LumpCount])
                return p;
            const CPakfileEntry *entry = bsp->pakfileEntries()[index - LumpCount];
            text[Crc] = hex8(entry->central.crc32);
            text[LocalHeaderOffset] = QString::number(entry->central.localHeaderOffset);
        } else if (ncf) {
            if (index < 0 || index >= ncf->directoryEntries().size() ||
                !ncf->directoryEntries()[index])
                return p;
            const quint32 flags = ncf->directoryEntries()[index]->directoryFlags;
            text[Encrypted] = trueFalse(flags & 0x100);
            text[MakeLocalCopy] = trueFalse(flags & 0x0A);
            text[OverwriteLocalCopy] = trueFalse(!(flags & 0x01));
            text[BackupLocalCopy] = trueFalse(flags & 0x40);
        } else {
            if (index < 0 || index >= vpk->entries().size() || !vpk->entries()[index])
                return p;
            const CVPKDirectoryEntry *entry = vpk->entries()[index];
            text[PreloadBytes] = QString::number(entry->preloadCount);
            text[Archive] = entry->isInDirectoryFile() ? QStringLiteral("(Directory)")
                                                       : QString::number(entry->archiveIndex);
            text[Crc] = hex8(entry->crc);
        }
    }
    if (auto *gcf = type == 2 ? qobject_cast<CDelegateGCF *>(delegate) : nullptr)
        text[Fragmentation] = percent(gcf->fragmentation(node));
    if (cache) {
        if (index < 0 || index >= ncf->directoryEntries().size() || !ncf->directoryEntries()[index])
            return p;
        text[Flags] = hex8(ncf->directoryEntries()[index]->directoryFlags);
    }

    text[Path] = node == delegate->root() ? QStringLiteral("...")
                                          : QStringLiteral(".../") + node->path(false);
    const QPair<qint64, qint64> sizes = delegate->sizes(node);
    text[Size] = bytes(sizes.first);
    text[SizeOnDisk] = bytes(sizes.second);
    p.title = node->name();
    p.valid = true;
    return p;
}
