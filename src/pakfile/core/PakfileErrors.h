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
} // namespace PakfileError
