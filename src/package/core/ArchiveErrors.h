#pragma once

#include <QString>

// Error texts of the VPK, GCF and NCF readers that the shared package list
// does not hold: faults of damaged or hostile archives. The texts the format
// readers share with the other delegates stay in PackageErrors.h.
namespace ArchiveErrors {

constexpr const char CacheHeader[] = "Read Error: Unable to read cache file header";
constexpr const char VpkHeader[] = "Read Error: Unable to read VPK header";
constexpr const char BlockSizeZero[] = "Delegate Error: Block size is zero";

// "Read Error: <table> table does not fit in the file"
QString tableOutsideFile(const QString &table);
// "Delegate Error: Parent index of item <item> is out of range"
QString parentOutOfRange(quint32 item);
// "Read Error: Entry <index> is encrypted"
QString entryEncrypted(int index);
// "Read Error: Block chain of entry <index> loops"
QString blockChainLoops(int index);
// "Read Error: Block <block> of entry <index> is out of range"
QString blockOutOfRange(int index, quint32 block);
// "File Error: "<name>" is a data archive; open its directory file "<directory>""
QString vpkDataArchive(const QString &name, const QString &directory);

} // namespace ArchiveErrors
