#pragma once

// Captions, questions and labels of the pakfile editor, as the user sees them.
namespace VPakfileTexts {
inline const char *const Title = "Pakfile Lump Editor";
inline const char *const Processing = "Processing...";
inline const char *const DiscardChanges = "Changes have been made.\n\nDiscard changes?";

inline const char *const OpenCaption = "Open BSP";
inline const char *const OpenFilter = "Valve Binary Space Partition (*.bsp)";
inline const char *const AddCaption = "Add Files";
inline const char *const AddFilter = "All Files (*.*)";
inline const char *const SaveFilesCaption = "Save File(s)";
inline const char *const ZipCaption = "Save ZIP";
inline const char *const ZipFilter = "ZIP File (*.zip)";
inline const char *const ScanDirectoryCaption = "Base Scan Directory";

inline const char *const RelativePathLabel =
    "Add selected files using the following relative path:";
inline const char *const DataExists = "Data already exists at \"%1\"";
inline const char *const Overwrite = "Overwrite?";
inline const char *const PreserveStructure = "Preserve file structure?";
inline const char *const FileModified = "File \"%1\" has been modified.";
inline const char *const SaveModified = "Save modified?";
inline const char *const FileExists = "File \"%1\" already exists.";
} // namespace VPakfileTexts
