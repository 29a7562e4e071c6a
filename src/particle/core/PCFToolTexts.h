#pragma once

// Labels and log lines of the particle batch tools (their error texts are in
// PCFErrors.h).
namespace PCFText {
inline const char *const OperationComplete = "Operation complete.";
// A file a tool could not read: its path and the reason.
inline const char *const ItemError = "\"%1\" : %2";

// Batch run.
inline const char *const Reading = "Reading...";
inline const char *const Formatting = "Formatting %1 files...";
inline const char *const Checking = "Checking %1 element(s) in %2 file(s)...";
inline const char *const Writing = "Writing...";

// What a conversion dropped, one line per system: the document, the system and
// the sections, each "dropped N ...: " and its items.
inline const char *const ConversionLoss = "Format Conversion: \"%1\", system \"%2\": %3";
inline const char *const LostFunctions = "dropped %1 function(s): %2";
inline const char *const LostParameters = "dropped %1 parameter(s): %2";
inline const char *const LostFunction = "%1 \"%2\"";
inline const char *const LostParameter = "\"%1\" of \"%2\"";
inline const char *const LostSystemParameter = "\"%1\" of the system";
inline const char *const LostCount = "%1 x%2";

// Map manifest.
inline const char *const Processing = "Processing...";
inline const char *const Loading = "Loading \"%1\"";
inline const char *const Scanning = "Scanning...";
inline const char *const Wrote = "Wrote \"%1\"";
} // namespace PCFText
