#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

// Every error text of the package delegates and trees, in one place. Tests
// compare against these, so the texts (odd spellings included) must not
// change.
namespace PackageErrors {

// Requests
constexpr const char InvalidFilePath[] = "Request Error: Invalid file path";
constexpr const char NullNode[] = "Request Error: NULL node";
constexpr const char NotOwner[] = "Request Error: Delegate does not own node";
constexpr const char NodeNotLeaf[] = "Request Error: Node is not leaf";
constexpr const char IndexOutOfBounds[] = "Request Error: Index out of bounds";
constexpr const char RootNotRemovable[] = "Request Error: Root node cannot be removed";
constexpr const char NullDevice[] = "Request Error: NULL device";
constexpr const char FileIndexOutOfBounds[] = "Request Error: File index out of bounds";
constexpr const char EntryNotFile[] = "Request Error: Entry is not a file";
constexpr const char VpkSegmentationName[] =
    "Request Error: File name not compatible with archive segmentation";
constexpr const char NcfHasNoData[] = "Request Error: NCF files do not contain data";

// Devices
constexpr const char DeviceInvalid[] = "Write Error: Device invalid";
constexpr const char DeviceNotOpen[] = "Write Error: Device not open";
constexpr const char DeviceNotWritable[] = "Write Error: Device not writable";
constexpr const char DeviceNotReadable[] = "Write Error: Device not readable";
constexpr const char BufferOpen[] = "Write Error: Unable to open stream to buffer";
constexpr const char WriteIncomplete[] = "Write Error: Incomplete";
constexpr const char ReadIncomplete[] = "Read Error: Incomplete";
constexpr const char ReferencedFileOpen[] = "Read Error: Unable to open referenced file";

// Files
constexpr const char FileOpen[] = "File Error: Unable to open";
constexpr const char FileNotOpen[] = "File Error: Package not open";
constexpr const char PackageOpen[] = "File Error: Unable to open package";
constexpr const char PackageMissing[] = "File Error: Package does not exist";
constexpr const char MalformedDirectory[] = "File Error: Malformed directory structure";

// Reading (the two seek texts really differ in case; each has its own users)
constexpr const char ReadSeekErrorUpper[] = "Read Error: Seek Error";
constexpr const char ReadSeekError[] = "Read Error: Seek error";
constexpr const char ReadIncompleteRead[] = "Read Error: Incomplete read";
constexpr const char ReadError[] = "Read Error: Read error";
constexpr const char EntryHasNoData[] = "Read Error: Entry has no data";
constexpr const char ItemNames[] = "Read Error: Unable to read directory item names";
constexpr const char StreamSeekError[] = "Stream Error: Seek error";
constexpr const char StreamIncompleteRead[] = "Stream Error: Incomplete read";
constexpr const char StreamIncompleteWrite[] = "Stream Error: Incomplete write";

// Delegates
constexpr const char TooOld[] = "Delegate Error: File format too old";
constexpr const char TooNew[] = "Delegate Error: File format too new";
constexpr const char NoFlushLogic[] = "Delegate Error: No logic for flush()";
constexpr const char MultipleRoots[] = "Delegate Error: Multiple root directories found";
constexpr const char ParentIsLeaf[] = "Delegate Error: Parent node is leaf";
constexpr const char NoRoot[] = "Delegate Error: No root directory found";
constexpr const char CreateNodes[] =
    "Delegate Error: Unable to create nodes for internal file system";
// "Delegate Error: Unable to create leaf at \"<path>\""
QString unableToCreateLeaf(const QString &path);
// "Request Error: Invalid name \"<name>\"."
QString invalidName(const QString &name);
// "Delegate Error: Unable to rename \"<path>\" to \"<name>\""
QString unableToRename(const QString &path, const QString &name);
// "Package Warning: <n> further warnings are not listed"
QString unlistedWarnings(int count);
// Warning for an entry whose path names a folder, or runs through a file, of
// another entry: "<kind> Warning: \"a\" clashes with a file or folder of the
// same path and is left out" (kind "Pakfile" or "Package").
QString folderClash(const char *kind, const QString &path);
// Warning for the files whose paths cannot be extracted safely, the first few
// named: "Package Warning: 6 files are left out because their paths cannot be
// extracted safely: \"a/../b\", \"./c\" and 4 more".
QString unsafePaths(int count, const QStringList &named);
// The short-write text of copyDevice, with the device's reason when it gave
// one: "Write Error: Unable to write 6 of 6 bytes (No space left on device)".
QString shortWrite(qint64 missing, qint64 total, const QString &reason);
// "<text> (<reason>)", or the text alone for an empty reason.
QString withReason(const QString &text, const QString &reason);
// The device's own account of its last failure, or empty.
QString deviceReason(const QIODevice *device);

// Maps
namespace Bsp {
constexpr const char SmallerThanHeader[] = "File Error: File smaller than header";
constexpr const char MagicMismatch[] = "File Error: Magic number mismatch";
constexpr const char UnknownLayout[] = "Delegate Error: Unable to determine BSP version";
constexpr const char NoEndRecord[] = "File Error: Unable to locate end record of pakfile";
constexpr const char DiskArrangement[] = "Read Error: Pakfile has invalid disk arrangement";
constexpr const char NoCentralEntry[] = "Read Error: Unable to locate next central directory entry";
constexpr const char NoLocalHeader[] = "Read Error: Unable to locate next local header";
constexpr const char FileNameRead[] = "Stream Error: Unable to read file name";
constexpr const char ExtraFieldRead[] = "Stream Error: Unable to read extra field";
constexpr const char CommentRead[] = "Stream Error: Unable to read comment";
constexpr const char CommentTooLong[] = "Request Error: Comment longer than 65535 bytes";
constexpr const char GameLumpDirectory[] =
    "Read Error: Game lump directory does not fit in lump 35";
constexpr const char GameLumpsTooLarge[] = "Read Error: Game lumps hold more bytes than the file";
// Lines of the cut-map warning for a cut lump that cannot be read whole,
// followed by the reason in brackets.
constexpr const char NoGameLumpsShown[] = "No game lumps are shown";
constexpr const char PakfileShownEmpty[] = "The pakfile is shown empty";

// Map rewrite
constexpr const char TemporaryOpen[] = "File Error: Unable to open temporary file";
constexpr const char EndRecordWrite[] = "Write Error: Incomplete write of pakfile end record";
constexpr const char SwapFailed[] = "File Error: Unable to swap finished files\nDelegate Error: "
                                    "Flush finished successfully, but delegate is no longer valid";
// The swap failed but the old map is back under its name and open again.
constexpr const char SwapUndone[] = "File Error: Unable to swap finished files";
constexpr const char SaveInProgress[] = "File Error: Another save of this map is in progress";
constexpr const char MapReplaced[] =
    "File Error: The map was replaced by another save since it was opened";
constexpr const char TemporaryReplaced[] =
    "File Error: The temporary file was taken away or replaced";
constexpr const char TooManyPakfileFiles[] =
    "Write Error: Pakfile cannot hold more than 65535 files";
constexpr const char MapTooLarge[] = "Write Error: Map would be larger than 2147483647 bytes";
constexpr const char HeaderWrite[] = "Write Error: Incomplete write of map header";
constexpr const char TemporaryFinish[] = "Write Error: Unable to finish temporary file";
constexpr const char TemporarySync[] = "Write Error: Unable to sync temporary file to disk";
constexpr const char ReopenedReadOnly[] =
    "File Warning: The map was saved but could only be opened again read-only";
constexpr const char PakfileEditsWithWholeLump[] =
    "Delegate Error: The pakfile lump is replaced as a whole; edits of the files in the old "
    "pakfile cannot be written with it (revert one or the other)";
// "Write Error: New map does not read back\n<error>"
QString readBack(const QString &error);
// "Read Error: Game lump <n> lies outside lump 35"
QString gameLumpOutside(int index);
// "File Error: Unable to open temporary file in the folder \"<folder>\" (<reason>)"
QString temporaryOpen(const QString &folder, const QString &reason);
// SwapUndone, or SwapFailed where the delegate lost its map, with the
// system's reason after the first line.
QString swapFailed(const QString &reason, bool reopened);
// "File Error: Unable to make the backup \"<backup>\" (<reason>)"
QString backupFailed(const QString &backup, const QString &reason);
// Warning of an open: "Map Warning: The map file is cut short inside lumps
// 8, 40; they are read up to its end, and the map cannot be saved", then
// each of `unread` on a line of its own.
QString cutLumps(const QVector<int> &lumps, const QStringList &unread = {});
// "Delegate Error: The map file is cut short inside lumps 8, 40 and cannot be
// saved"
QString cutMapNotSaved(const QVector<int> &lumps);
// "Delegate Error: Pakfile path \"<path>\" has characters outside Latin-1,
// which a pakfile name cannot hold"
QString notLatin1(const QString &path);
// "Delegate Error: Texture name table refers to string <n>, which the new
// list does not have"
QString texdataStringMissing(int index);
// "Write Error: Unable to write lump <n> (<name>)\n<error>"
QString lumpWrite(int lump, const QString &name, const QString &error);
// "File Error: Unable to open \"<local>\" referenced by \"<path>\""
QString referencedOpen(const QString &local, const QString &path);
// "Read Error: Incomplete read of \"<local>\" referenced by \"<path>\""
QString referencedRead(const QString &local, const QString &path);
// "Read Error: Unable to read pakfile file \"<path>\"\n<error>"
QString pakfileRead(const QString &path, const QString &error);
// "Write Error: Incomplete write of local directory entry for \"<path>\""
QString localEntryWrite(const QString &path);
// "Write Error: Incomplete write of pakfile central directory entry for \"<path>\""
QString centralEntryWrite(const QString &path);
// "Write Error: Pakfile file name too long for \"<path>\""
QString nameTooLong(const QString &path);
// "Read Error: Lump <n> lies outside the file"
QString lumpOutsideFile(int lump);
// "Read Error: Data of pakfile file \"<name>\" lies outside the pakfile"
QString entryOutsidePakfile(const QString &name);
// "Read Error: Pakfile file \"<name>\" shares its bytes with another file"
QString overlappingEntry(const QString &name);
// "Read Error: Pakfile file \"<name>\" is compressed (<method>) and cannot be read"
QString compressedEntry(const QString &name, int method);
// Warning for a pakfile file that gets no node because another file has the
// same path (ignoring case; the later record wins) or the path names a lump.
QString hiddenPakfileFile(const QString &dropped, const QString &kept);
// Warning for a pakfile file whose path has more levels than a tree may hold.
QString nestedTooDeeply(const QString &name);
// Warning for a pakfile file whose local header and directory entry disagree
// on its method or encryption.
QString headersDisagree(const QString &name);
} // namespace Bsp

} // namespace PackageErrors
