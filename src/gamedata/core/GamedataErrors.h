#pragma once

// Error texts of the game-data documents.
namespace GamedataError {
inline const char *const NotImplemented = "Internal Error: Not implemented";
} // namespace GamedataError
