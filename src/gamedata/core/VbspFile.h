#pragma once

#include <QByteArray>
#include <QString>

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CFileVBSP;

// Detail-prop definition files (".vbsp"): a "detail" block of types, groups
// and props, read loosely and written in one fixed layout. Paths are 8-bit,
// as QFile::encodeName gives them. Numbers go through the C locale both ways,
// whatever locale the program runs in.
namespace VbspFile {

// A real listing is a few kilobytes; these keep a hostile file from costing
// more than some tens of megabytes.
constexpr qint64 MaxFileBytes = 8 * 1024 * 1024;
constexpr std::size_t MaxRecords = 100000;

// Layout bounds of the values the reader accepts.
constexpr int32_t MaxSpriteCoordinate = 4096;
constexpr int32_t MaxOrientation = 2;
constexpr float MaxAngle = 360.0f;
// A sprite's width and height are world units: any size the format can hold.
constexpr float MaxSpriteSize = FLT_MAX;

// Some editors begin a UTF-8 text with it.
inline const char *const Utf8Mark = "\xEF\xBB\xBF";

} // namespace VbspFile

// A new document owned by the caller, or null (with the reason in `error`)
// when the file cannot be read, holds text but no "detail" block, or ends
// inside a block. A file without text yields a document without types; its
// path is `path` and shape support is on. A leading UTF-8 byte-order mark is
// skipped and kept on the document.
CFileVBSP *readVbspFile(const std::string &path, QString *error = nullptr);
// The same on bytes already in memory.
CFileVBSP *readVbspData(const QByteArray &bytes, const std::string &path = std::string(),
                        QString *error = nullptr);

// Writes through a temporary file that replaces `path` only when every byte
// reached the disk; false (with the reason in `error`) otherwise, the old file
// then left as it was.
bool writeVbspFile(const CFileVBSP &document, const std::string &path, QString *error = nullptr);
// The bytes the writer writes.
QByteArray vbspBytes(const CFileVBSP &document);

// The pieces of [begin, end) between delimiters, each with room for `extra`
// more bytes. Empty pieces (two delimiters together, a leading delimiter) are
// kept only with keepEmpty; a trailing delimiter makes no piece.
std::vector<std::vector<char>> splitBytes(const char *begin, const char *end, char delimiter,
                                          bool keepEmpty, int32_t extra);
