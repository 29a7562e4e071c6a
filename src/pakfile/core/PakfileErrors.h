#pragma once

// Texts of the dependency scanners and of the model and collision-model
// documents, as they reach the scan log.
namespace PakfileError {
// A file that exists but cannot be read in full (%1: the entry). The
// particle scanner writes no "/" after the dots.
inline const char *const UnableToRead = "Read Error: Unable to read \".../%1\"";
inline const char *const UnableToReadParticleMaterial = "Read Error: Unable to read \"...%1\"";
// A path built from a file's contents that would leave the game folder or
// names no file (empty, "." or ".." parts, an absolute or drive form).
inline const char *const UnsafePath = "Read Error: Refusing unsafe path \"%1\"";
// References followed inside references beyond the nesting limit.
inline const char *const NestedTooDeeply = "Read Error: References nested too deeply at \"%1\"";

// Collision models.
inline const char *const Incomplete = "Read Error: Incomplete";
inline const char *const DeviceNotValid = "Device Error: Not valid";
inline const char *const DeviceNotOpen = "Device Error: Not Open";
inline const char *const DeviceNotWriteable = "Device Error: Not Writeable";

// The pakfile editor (%1: the path involved).
inline const char *const NullFileName = "Request Error: NULL file name";
inline const char *const UnableToOpenQuoted = "File Error: Unable to open \"%1\"";
inline const char *const UnableToCreatePath = "File System Error: Unable to create path \"%1\"";
inline const char *const NodeHasNoData = "Delegate Error: Node at path \"%1\" has no data";
inline const char *const TargetNotLeaf = "Delegate Error: Target node is not leaf";
// An entry path from the map that would leave the chosen folder.
inline const char *const UnsafeEntryPath = "File System Error: Refusing unsafe entry path \"%1\"";
// A saved file whose temporary copy could not replace the target (%2: why).
inline const char *const UnableToFinish = "Write Error: Unable to finish \"%1\" (%2)";
// A pakfile path that names one of the map's lumps, not a pakfile file.
inline const char *const PathNamesLump = "Delegate Error: Path \"%1\" names a lump of the map";
inline const char *const ExportCommentTooLong =
    "Unable to write modified ZIP comment; old comment too long";
inline const char *const ExportNoEndRecord =
    "Write Error: Unable to write modified ZIP comment; the pakfile has no valid end record";
} // namespace PakfileError
