#pragma once

// Every title, caption, filter and message of the texture editor, in one place.
namespace VVTFText {
inline const char *const Title = "VTF Editor";
inline const char *const OpenCaption = "Open VTF";
inline const char *const SaveAsCaption = "Save As";
inline const char *const SaveCopyAsCaption = "Save Copy As";
// %1: the file, %2: the system's reason.
inline const char *const SaveUnopened = "Write Error: Unable to open \"%1\" (%2)";
inline const char *const SaveUncommitted = "Write Error: Unable to replace \"%1\" (%2)";
// %1: the image file replacing an image of the texture.
inline const char *const PictureUnopened = "Read Error: Unable to open \"%1\"";
inline const char *const PictureUnreadable = "Read Error: Unable to read \"%1\"";
inline const char *const SaveImagesCaption = "Save Images";
inline const char *const SaveImageCaption = "Save Image";
// The one image chosen for export: its mipmap, frame, face and slice.
inline const char *const ExportUndecodable =
    "Export Error: Unable to decode mipmap %1, frame %2, face %3, slice %4";
inline const char *const ExportFilter =
    "Portable Network Graphics (*.png);;Joint Photographic Experts Group (*.jpg *.jpeg);;"
    "Tagged Image File Format (*.tiff);;Microsoft Windows Bitmap (*.bmp);;"
    "Portable Pixel Map (*.ppm);;X Pixel Map (*.xpm);;X Bitmap (*.xbm)";
inline const char *const TextureFilter = "Valve Texture File (*.vtf)";
inline const char *const NewCaption = "New VTF";
inline const char *const ImageFilter = "Supported Formats (*.png *.jpg *.jpeg *.tiff *.bmp *.gif "
                                       "*.ppm *.pgm *.pbm *.xpm *.xbm)";
// %1: the image file.
inline const char *const ImportUnreadable = "Device Error: Unable to read \"%1\"";
// %1: the index of the image in its file.
inline const char *const ImportResizeFailed = "Import Error: Unable to resize image %1";
inline const char *const ImportImageUnreachable = "Import Error: Unable to reach image %1";
// %1 images of %2 left out.
inline const char *const ImportDropped =
    "Import Error: %1 of %2 images found no place in the texture and were left out";

// Steps of an import, as its progress box names them.
inline const char *const StepAllocating = "Allocating memory...";
inline const char *const StepReading = "Reading images...";
inline const char *const StepReflectivity = "Computing reflectivity...";
inline const char *const StepMipmaps = "Generating mipmaps...";
inline const char *const StepThumbnail = "Generating thumbnail...";
inline const char *const StepSpheremaps = "Generating spheremaps...";
inline const char *const StepFormatting = "Formatting...";
} // namespace VVTFText
