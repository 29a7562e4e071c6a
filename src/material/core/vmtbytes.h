#pragma once

#include <QByteArray>
#include <QString>

// A material script's bytes as text and back. Scripts are Latin-1, so every
// byte round-trips. A file whose every line feed follows a carriage return
// uses CR LF line ends: the text routines see "\n" only, and the file gets
// its CR LF back when written. Any other file's bytes pass unchanged.

namespace VmtError {
// Far beyond any real script; keeps a mistaken pick (a map, a device) from
// filling memory.
constexpr qint64 MaxScriptBytes = 32 * 1024 * 1024;
inline const char *const TooLarge = "File Error: Larger than %1 bytes, not a material script";
} // namespace VmtError

QString decodeMaterialText(const QByteArray &bytes, bool *crlf = nullptr);
// Characters outside Latin-1 (typed into an editor) become "?".
QByteArray encodeMaterialText(const QString &text, bool crlf);

// Reads and decodes a script. False with the file's own reason (or TooLarge)
// in `error`.
bool readMaterialFile(const QString &path, QString &text, bool &crlf, QString &error);
// Encodes and saves a script through a temporary file, so a failed write
// leaves the old file as it was. False with the file's reason in `error`.
bool writeMaterialFile(const QString &path, const QString &text, bool crlf, QString &error);
