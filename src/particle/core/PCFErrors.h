#pragma once

// Every message the particle core reports, in one place.
namespace PCFError {
// Reading.
inline const char *const ReadOpen = "Read Error: Unable to open file";
inline const char *const ReadUnsupported = "Read Error: Format recognized but not supported";
inline const char *const ReadUnknownFormat = "Read Error: Invalid or unrecognized format";
inline const char *const ReadEmptyDictionary = "Read Error: Empty string dictionary";
inline const char *const ReadInvalidDictionary = "Read Error: Invalid string dictionary size";
inline const char *const ReadEmptyElements = "Read Error: Empty element array";
inline const char *const ReadInvalidElementCount = "Read Error: Invalid element count";
inline const char *const ReadInvalidCount = "Read Error: Invalid count";
inline const char *const ReadTypeIndex = "Read Error: Element type name index out of bounds";
inline const char *const ReadNameIndex = "Read Error: Element name index out of bounds";
inline const char *const ReadAttributeIndex = "Read Error: Attribute name index out of bounds";
inline const char *const ReadElementIndex = "Read Error: Element index out of bounds";
inline const char *const ReadStringIndex = "Read Error: String index out of bounds";
inline const char *const ReadEndOfFile = "Read Error: Unexpected end of file";
inline const char *const ReadSetValue = "ERROR: Unable to set value: Element: %1 Attribute: %2";
inline const char *const ReadUnexpectedAttribute = "Read Error: Unexpected attribute";
inline const char *const ReadTooManyNames =
    "Read Error: Too many distinct attribute names for one session";

// Writing.
inline const char *const WriteNoData = "Write Error: No data specified";
inline const char *const WriteInvalidVersion = "Write Error: Invalid version specified";
inline const char *const WriteOpen = "Write Error: Unable to open file";
inline const char *const WriteIncomplete = "Write Error: Unable to write file";
inline const char *const WriteTooManyStrings =
    "Write Error: String dictionary contains too many entries";
inline const char *const WriteUnknownType =
    "Write Error: Attribute of unknown type: Element: %1   Attribute: %2";
inline const char *const WriteUnreferenced =
    "Write Error: Unreferenced element: Element: %1   Attribute: %2";
inline const char *const WriteUnreferencedItem =
    "Write Error: Unreferenced element: Element: %1    Attribute: %2   Item: %3";
inline const char *const WriteStringMissing =
    "Write Error: String \"%1\" not found in dictionary: Element: %2    Attribute: %3";
inline const char *const WriteStringArray =
    "Write Error: ATTRIBUTE_STRING_ARRAY not yet supported for format Binary 4 PCF 2";

// Conversion.
inline const char *const FormatNoData = "Formatting Error: No data specified";
inline const char *const FormatSource = "Formatting Error: Invalid source version specified";
inline const char *const FormatTarget = "Formatting Error: Invalid target version specified";
inline const char *const FormatTemplate =
    "Formatting Error: Template data for target version does not exist";

// The parameter data the templates are made from; %2 (or %1) names the file
// and line.
inline const char *const TemplateDataOpen = "Template Error: Unable to read \"%1\"";
inline const char *const TemplateDataHeader = "Template Error: Unexpected column names in \"%1\"";
inline const char *const TemplateDataColumns = "Template Error: Too few columns in %1";
inline const char *const TemplateDataKind = "Template Error: Unknown function kind \"%1\" in %2";
inline const char *const TemplateDataType = "Template Error: Unknown parameter type \"%1\" in %2";
inline const char *const TemplateDataValue = "Template Error: Default \"%1\" does not parse in %2";
inline const char *const TemplateDataTwice = "Template Error: Parameter \"%1\" listed twice in %2";
inline const char *const TemplateDataFirst =
    "Template Error: Function \"%1\" does not start with \"functionName\" in %2";
inline const char *const TemplateDataFunction = "Template Error: Unknown function \"%1\" in %2";
inline const char *const TemplateDataWhere = "\"%1\" line %2";

// Moving systems between documents.
inline const char *const ImportFormat =
    "Import Error: Source PCF has an invalid or unrecognized format.";
inline const char *const ExportFormat =
    "Export Error: Target PCF has an invalid or unrecognized format.";

// Map manifest.
inline const char *const ManifestNoParticles = "No particles found.";
inline const char *const ManifestSystemMissing = "System \"%1\" not found.";
inline const char *const ManifestNothingUsed = "No files to manifest.";
inline const char *const ManifestUnwritable = "Unable to write \"%1\"";

// Value text.
inline const char *const TextUnknownType = "Unable to change attribute of unknown value type.";
inline const char *const TextArrayType = "Unable to set value of array type from string.";
inline const char *const TextParse = "Unable to parse value from string.";
} // namespace PCFError
