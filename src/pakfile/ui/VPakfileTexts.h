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

// The scan page. Marking rows says "Processing... " with a trailing blank.
inline const char *const ProcessingMarks = "Processing... ";
inline const char *const PreProcessing = "Pre-processing...";
inline const char *const BuildingTable = "Building table...";
inline const char *const Finished = "Finished";
inline const char *const LoadingData = "Loading data...";
inline const char *const UpdatingModified = "Updating modified...";
inline const char *const AddingNew = "Adding new...";
inline const char *const ScanOptionsTitle = "Scan Options";
// One check box per bit of the scan options mask, in bit order.
inline const char *const ScanOptionLabels[] = {"Materials (Packed)",
                                               "Models (Packed)",
                                               "Physics (Packed)",
                                               "Materials",
                                               "Skybox",
                                               "Detailsprites",
                                               "Models",
                                               "Sounds",
                                               "Scenes",
                                               "Particles",
                                               "Static Props",
                                               "Special Files",
                                               "Map Specific Files"};

inline const char *const RelativePathLabel =
    "Add selected files using the following relative path:";
inline const char *const DataExists = "Data already exists at \"%1\"";
inline const char *const Overwrite = "Overwrite?";
inline const char *const PreserveStructure = "Preserve file structure?";
inline const char *const FileModified = "File \"%1\" has been modified.";
inline const char *const SaveModified = "Save modified?";
inline const char *const FileExists = "File \"%1\" already exists.";
} // namespace VPakfileTexts
