#pragma once

// The bulk material editor's own texts; %1 is a file's path.
namespace VMassText {
inline const char *const Title = "Mass VMT Editor";
inline const char *const Processing = "Processing...";
inline const char *const Complete = "Operation complete.";
inline const char *const Failed = "Operation failed.";
inline const char *const SelectFiles = "Select Files";
inline const char *const FileFilter = "Valve Material Type (*.vmt);;Valve Texture File "
                                      "(*.vtf);;Valve Materials (*.vmt *.vtf)";
inline const char *const AsteriskRelative = "File path relative to \"/materials/\"";

inline const char *const ReadFailed = "Unable to read from \"%1\"";
inline const char *const WriteFailed = "Unable to write to \"%1\"";
inline const char *const CreateFailed = "Unable to create .vmt for \"%1\"";
inline const char *const NoMaterialsFolder =
    "\"%1\" not under a \"materials\" directory missing matching VMT.";
inline const char *const AlreadyListed = "File \"%1\" already listed.";
inline const char *const InvalidType = "Invalid datatype specified for mass VMT editing.";

inline const char *const RemoveAllParameters = "Remove all parameters?";
inline const char *const RemoveParameter = "Remove parameter?";
inline const char *const RemoveParametersOfType = "Remove all parameters of type \"%1\"?";
inline const char *const RemoveAllProxies = "Remove all proxies?";
inline const char *const RemoveProxiesOfType = "Remove all proxies of type \"%1\"?";
} // namespace VMassText
