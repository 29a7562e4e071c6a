#pragma once

// Error texts of the game-data documents.
namespace GamedataError {
// Detail-prop listings (".vbsp"). %1: the limit.
inline const char *const VbspUnableToOpen = "Read Error: Unable to open file";
inline const char *const VbspTooLarge = "Read Error: File larger than %1 bytes";
inline const char *const VbspTooManyRecords = "Read Error: More than %1 detail records";
inline const char *const VbspInvalidPath = "Write Error: Invalid path";
// %1: the first line holding text.
inline const char *const VbspNoDetailBlock = "Read Error: Expected 'detail' at line %1";
// %1: the name of the innermost block still open at the end, %2: its line.
inline const char *const VbspBlockNotClosed = "Read Error: Block \"%1\" at line %2 is not closed";

inline const char *const NotImplemented = "Internal Error: Not implemented";

// Entity definition files (".fgd"). %1: the byte expected, %2 or %1: the line.
inline const char *const DeviceNotValid = "Device Error: Not valid";
inline const char *const DeviceNotOpen = "Device Error: Not open";
inline const char *const DeviceNotReadable = "Device Error: Not readable";
inline const char *const FgdExpected = "Read Error: Expected '%1' at line %2";
inline const char *const FgdUnexpected = "Read Error: Unexpected text at line %1";
} // namespace GamedataError
