#pragma once

// Labels and log lines of the particle batch tools (their error texts are in
// PCFErrors.h).
namespace PCFText {
inline const char *const OperationComplete = "Operation complete.";

// Batch run.
inline const char *const Reading = "Reading...";
inline const char *const Formatting = "Formatting %1 files...";
inline const char *const Checking = "Checking %1 element(s) in %2 file(s)...";
inline const char *const Writing = "Writing...";

// Map manifest.
inline const char *const Processing = "Processing...";
inline const char *const Loading = "Loading \"%1\"";
inline const char *const Scanning = "Scanning...";
inline const char *const ItemError = "\"%1\" : %2";
inline const char *const Wrote = "Wrote \"%1\"";
} // namespace PCFText
