#pragma once

#include <QtGlobal>

// Every message the texture core reports, in one place.
namespace VTFError {
// Reading.
inline const char *const Incomplete = "Read Error: Incomplete";
inline const char *const MagicMismatch = "File Error: Magic number mismatch";
inline const char *const FormatTooOld = "Internal Error: Format too old";
inline const char *const FormatTooNew = "Internal Error: Format too new";
// Images of format NONE beyond the pixels shown blank.
inline const char *const BlankImagesTooLarge =
    "Read Error: Images without data exceed 65536 pixels";
// An image or thumbnail format outside NONE and 0..26; %1 is its value.
inline const char *const UnsupportedFormat = "Read Error: Unsupported image format %1";

// Writing.
inline const char *const NoDevice = "Stream Error: No device";
inline const char *const NotOpen = "Device Error: Not open";
inline const char *const NotWritable = "Device Error: Not writable";
inline const char *const IncompleteWrite = "Device Error: Incomplete write";
inline const char *const UnsupportedFormatWrite = "Write Error: Unsupported image format %1";

// Structure changes.
inline const char *const InvalidFrameCount = "Request Error: Invalid frame count";
inline const char *const InvalidFaceCount = "Request Error: Invalid face count";
inline const char *const InvalidMipmapCount = "Request Error: Invalid mipmap count";
inline const char *const InvalidSliceCount = "Request Error: Invalid slice count";
inline const char *const DepthEnvmap = "Request Error: Depth textures cannot be envmaps";
inline const char *const EnvmapNotSquare = "Request Error: Envmaps must be square";
inline const char *const SliceNotPowerOfTwo = "Request Error: Slice count not a power of two";
inline const char *const OutOfMemory = "Error: Out of memory";

// Image operations (the spellings are the program's own).
inline const char *const NotEnvmap = "Request Error: Image is not an enviroment map";
inline const char *const EnvmapFaces =
    "Request Error: Enviroment map does not have correct number of faces";
} // namespace VTFError

// The texture file's fixed layout.
namespace VTFLayout {
// The first four bytes of every texture file.
inline constexpr char Magic[4] = {'V', 'T', 'F', '\0'};
// The major version written; files below it are refused.
inline constexpr quint32 MajorVersion = 7;
// Header sizes: minor versions 0 and 1, minor 2, and minor 3 on before the
// resource directory (8 bytes an entry).
inline constexpr quint32 HeaderSize70 = 64;
inline constexpr quint32 HeaderSize72 = 80;
inline constexpr quint32 HeaderSize73 = 80;
inline constexpr quint32 ResourceEntrySize = 8;
// Bytes of the header fields every version shares (magic to the thumbnail
// height).
inline constexpr quint32 CommonHeaderSize = 63;
// The first frame that marks a six-face environment map before minor 5.
inline constexpr quint16 SixFaceFirstFrame = 0xFFFF;
// Environment maps: cube faces, and with the spheremap face.
inline constexpr int CubeFaces = 6;
inline constexpr int CubeFacesWithSpheremap = 7;
} // namespace VTFLayout

// The bulk converter's messages; %1 is a quoted name (".../" and the path
// below the source or target folder, in double quotes).
namespace VTFMassText {
inline const char *const InvalidFilter = "Request Error: Name filter is not valid";
inline const char *const InPlaceNeedsOverwrite =
    "Request Error: In-place modification of VTFs requires overwrite permission";
inline const char *const SourceNotReadable = "Read Error: Source directory not readable";
inline const char *const NoTarget = "Write Error: No target directory specified";
inline const char *const TargetNotCreated = "Write Error: Unable to create target directory";
inline const char *const DirectoryNotReadable = "Read Error: %1 not readable";
inline const char *const UnableToOpenSource = "Read Error: Unable to open %1";
inline const char *const UnableToRead = "Read Error: Unable to read %1";
inline const char *const DestinationExistsFor = "Destination exists for %1";
inline const char *const DestinationExists = "Destination %1 exists";
inline const char *const UnableToOpenTarget = "Write Error: Unable to open %1";
inline const char *const UnableToWrite = "Write Error: Unable to write %1";
// A format change the texture refused (a source in a format that does not
// decode); the file is not written.
inline const char *const UnableToConvert = "Write Error: Unable to convert %1";
} // namespace VTFMassText
