#pragma once

// Error texts of the texture documents.
namespace VTFError {
inline const char *const Incomplete = "Read Error: Incomplete";
inline const char *const MagicMismatch = "File Error: Magic number mismatch";
inline const char *const NotImplemented = "Internal Error: Not implemented";
} // namespace VTFError

namespace VTFLayout {
// The first four bytes of every texture file.
inline constexpr char Magic[4] = {'V', 'T', 'F', '\0'};
} // namespace VTFLayout
