#pragma once

// Texts of the detail editor's dialogs and warnings.
namespace VVBSPText {
inline const char *const Title = "VBSP Editor[*]";
inline const char *const Filter = "Detail Type Listing (*.vbsp)";
inline const char *const OpenCaption = "Open VBSP";
inline const char *const SaveCaption = "Save VBSP As...";
// Followed by the path in double quotes.
inline const char *const UnableToRead = "Unable to read ";
inline const char *const UnableToWrite = "Unable to write ";
inline const char *const TextureSizeTitle = "Set Texture Size";
inline const char *const TextureSizeLabel = "Detail Sheet X-Coordinate Resolution:";
inline const char *const TextureSizeWarning = "Size must be a power of two between 1 and 4096.";
inline const char *const RenameTitle = "Rename Item";
inline const char *const RenameLabel = "New name:";
} // namespace VVBSPText
