#pragma once

// Error texts of the game-data documents.
namespace GamedataError {
// Detail-prop listings (".vbsp"). %1: the limit.
inline const char *const VbspUnableToOpen = "Read Error: Unable to open file";
inline const char *const VbspTooLarge = "Read Error: File larger than %1 bytes";
inline const char *const VbspTooManyRecords = "Read Error: More than %1 detail records";
inline const char *const VbspInvalidPath = "Write Error: Invalid path";

inline const char *const NotImplemented = "Internal Error: Not implemented";
} // namespace GamedataError
