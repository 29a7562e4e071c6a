#pragma once

#include <QByteArray>
#include <QString>

// A material script's bytes as text and back. Scripts are Latin-1, so every
// byte round-trips. Every line end form (LF, CR LF, CR, in any mix) is a line
// end: the text routines see "\n" only, and the ends each line had are kept
// aside so that a save can give them back.

namespace VmtError {
// Far beyond any real script; keeps a mistaken pick (a map, a device) from
// filling memory.
constexpr qint64 MaxScriptBytes = 32 * 1024 * 1024;
inline const char *const TooLarge = "File Error: Larger than %1 bytes, not a material script";
} // namespace VmtError

// The end of every line of a script as read, in order: one byte per "\n" of
// the decoded text ('n' LF, 'w' CR LF, 'r' CR). The last line has none.
struct MaterialLineEnds
{
    QByteArray codes;

    // The end most lines have (on a tie the one met first); LF for a script
    // without line ends, a new one included.
    QByteArray common() const;
};

QString decodeMaterialText(const QByteArray &bytes, MaterialLineEnds *ends = nullptr);
// Every line with `lineEnd`. Characters outside Latin-1 (typed into an
// editor) become "?".
QByteArray encodeMaterialText(const QString &text, const QByteArray &lineEnd = "\n");
// `edited` made from `original` (decoded with `ends`) by adding, removing or
// replacing lines: every line kept from the original gets its own end back,
// every other line the most common one. An unedited text gives the bytes read.
QByteArray encodeMaterialText(const QString &edited, const QString &original,
                              const MaterialLineEnds &ends);

// Reads and decodes a script. False with the file's own reason (or TooLarge)
// in `error`.
bool readMaterialFile(const QString &path, QString &text, MaterialLineEnds &ends, QString &error);
// Saves a script's bytes through a temporary file, so a failed write leaves
// the old file as it was. False with the file's reason in `error`.
bool writeMaterialFile(const QString &path, const QByteArray &bytes, QString &error);
