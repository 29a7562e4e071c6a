#pragma once

// Error texts of the model and collision-model documents.
namespace PakfileError {
inline const char *const NotImplemented = "Internal Error: Not implemented";
} // namespace PakfileError
