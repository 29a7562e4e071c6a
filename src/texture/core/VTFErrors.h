#pragma once

// Every message the texture core reports, in one place.
namespace VTFError {
// Reading and writing.
inline const char *const Incomplete = "Read Error: Incomplete";
inline const char *const MagicMismatch = "File Error: Magic number mismatch";
inline const char *const NotImplemented = "Internal Error: Not implemented";

// Structure changes.
inline const char *const InvalidFrameCount = "Request Error: Invalid frame count";
inline const char *const InvalidFaceCount = "Request Error: Invalid face count";
inline const char *const InvalidMipmapCount = "Request Error: Invalid mipmap count";
inline const char *const InvalidSliceCount = "Request Error: Invalid slice count";
inline const char *const DepthEnvmap = "Request Error: Depth textures cannot be envmaps";
inline const char *const EnvmapNotSquare = "Request Error: Envmaps must be square";
inline const char *const SliceNotPowerOfTwo = "Request Error: Slice count not a power of two";
inline const char *const OutOfMemory = "Error: Out of memory";
} // namespace VTFError

namespace VTFLayout {
// The first four bytes of every texture file.
inline constexpr char Magic[4] = {'V', 'T', 'F', '\0'};
} // namespace VTFLayout
