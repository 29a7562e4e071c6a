#pragma once

#include <QString>

// Error texts of the map-source document and of lump files, in one place.
// Tests compare against them, so the texts must not change.
namespace BspErrors {

// Map-source writer
inline const char *const InvalidFilePath = "Write Error: Invalid file path";
// %1: the path.
inline const char *const UnableToOpen = "Write Error: Unable to open \"%1\"";
inline const char *const DeviceNotOpen = "Write Error: Device not open";
inline const char *const DeviceNotWritable = "Write Error: Device not writable";
// The text stream or the device refused bytes.
inline const char *const Incomplete = "Write Error: Incomplete";
// %1: the path, %2: the file's own reason.
inline const char *const UnableToSave = "Write Error: Unable to save \"%1\": %2";

// Lump files read for replacing a lump
inline const char *const UnexpectedEndOfFile = "Unexpected end of file";
inline const char *const UnexpectedStartOfData = "Unexpected start of data";
inline const char *const UnexpectedEndOfData = "Unexpected end of data";
inline const char *const LumpTypeMismatch = "Lump type mismatch";
// Shorter than the header, or not as long as the header says. %1: the quoted
// file name ("The file" for bytes without one).
inline const char *const NotLumpFile = "%1 is not a lump file: its 20-byte header is missing";
// The header declares more bytes than follow it. %1: as above, %2: the
// length in the header, %3: the bytes after the header.
inline const char *const LumpFileCut =
    "%1 is a lump file cut short: its header declares %2 bytes of lump, but the file holds %3 "
    "after the header";
inline const char *const LumpVersionMismatch = "Lump version mismatch";
// %1: the full path of the chosen file.
inline const char *const UnableToOpenFile = "Unable to open file \"%1\"";
// %1: the bare name of the output file.
inline const char *const UnableToOpenOutput = "Write Error: Unable to open file \"%1\"";
// %1: the bare name of the output file, %2: the file's own reason.
inline const char *const UnableToSaveOutput = "Write Error: Unable to save file \"%1\": %2";
// A map write that failed without saying why.
inline const char *const SaveIncomplete = "Unable to complete file save.";

// Entity lump editor. Its lump-file texts end with a period, unlike the
// map information window's above.
inline const char *const EntityStartOfData = "Unexpected start of data.";
inline const char *const EntityEndOfData = "Unexpected end of data.";
inline const char *const NotEntityLump = "Lump does not contain entity information.";
inline const char *const EntityNotLumpFile =
    "%1 is not a lump file: its 20-byte header is missing.";
inline const char *const EntityLumpFileCut =
    "%1 is a lump file cut short: its header declares %2 bytes of lump, but the file holds %3 "
    "after the header.";
// A typed key or value with a character 8-bit text cannot hold. %1: the
// character.
inline const char *const EntityUnstorableCharacter =
    "The character \"%1\" cannot be stored in an entity lump.";
inline const char *const EntityUnableToOpenFile = "Unable to open file.";
inline const char *const UnableToOpenLumpBuffer = "Unable to open lump buffer.";
// %1: the path.
inline const char *const UnableToRead = "Unable to read \"%1\"";
inline const char *const NoAssociatedFile = "Unable to save: No associated file";
// %1: the extension.
inline const char *const FileTypeNotRecognized = "Unable to save: File type \"%1\" not recognized";
// %1: the file's own reason.
inline const char *const SaveError = "Save Error: %1";
// A map source read with blocks the reader skips. %1: the path, %2: the
// number of blocks, %3: their names.
inline const char *const SkippedBlock =
    "Map Source Warning: Import of \"%1\" skipped %2 block it does not read: %3";
inline const char *const SkippedBlocks =
    "Map Source Warning: Import of \"%1\" skipped %2 blocks it does not read: %3";

} // namespace BspErrors
