#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <string>

class QDataStream;
class QIODevice;

// Error texts of copyDevice (%1: bytes still to copy, %2: bytes asked for).
namespace DeviceError {
inline const char *const ShortRead = "Read Error: Unable to read %1 of %2 bytes";
inline const char *const ShortWrite = "Write Error: Unable to write %1 of %2 bytes";
} // namespace DeviceError

// --- White space in text read from files -------------------------------------

// Space, tab, LF, VT, FF and CR; never a character from 0x80 up. 8-bit text is
// read as Latin-1, and in UTF-8 text read that way the bytes QChar::isSpace
// takes for white space (0x85, 0xA0) end characters (an a with a grave accent
// is C3 A0): trimming them would cut the character in half.
constexpr bool isAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool isAsciiSpace(QChar c)
{
    return c.unicode() < 0x80 && isAsciiSpace(char(c.unicode()));
}
// The text without that white space at either end.
QString trimmedAscii(const QString &text);

// --- Path text --------------------------------------------------------------

// Removes separators ("/", "\") and white space from both ends, in place. A
// text of one character is left alone; a leading "/" of an absolute path
// ("/home/x") is kept.
void trimPath(QString &path);
QString trimmedPath(const QString &path);
// Equal ignoring case, with "/" and "\" counted as the same character.
bool pathsEqual(const QString &a, const QString &b);
// Trims like trimPath, turns "\" into "/" and collapses runs of separators
// into one "/". A leading "/" of an absolute path is kept.
void normalizePath(QString &path);
// The same on the bytes up to the first NUL (Latin-1).
void normalizePath(QByteArray &path);

// --- Reading text from devices and streams -----------------------------------

// The next line of an open, readable device without its terminator. A line
// ends at NUL, LF, CR or a CR LF pair. Empty at the end or for a device that is
// not open or not readable.
QByteArray readLine(QIODevice *device);
// Bytes (as Latin-1) up to the terminator, which is consumed and not stored,
// or to the end of the stream. `capacityHint` only reserves room.
QString readTerminatedString(QDataStream &stream, char terminator, quint16 capacityHint = 0);

// --- Key/value lines ----------------------------------------------------------

// Splits a line into a key and a value, each a bare word or a double-quoted
// string (quotes removed); "//" where either would start ends the line. True
// only when both were found. A key alone sets the key and a null value; a blank
// or comment line empties both.
bool splitKeyValueLine(const QString &line, QString &key, QString &value);
// The same on bytes (white space: bytes 7 to 13 and blank). A key alone sets
// the value to "?".
bool splitKeyValueLine(const std::string &line, std::string &key, std::string &value);
// Quoted strings, a "//" comment running to the end, or runs of non-blank
// characters, each without one trailing and one leading quote, trimmed.
// Two adjacent quotes give an empty token.
QStringList tokenizeKeyValueLine(const QString &line);
// What a token written in double quotes that starts with "//" is: a comment,
// as in materials and scripts, or a key or value whatever it begins with, as
// entity text (map sources, entity lumps) is read.
enum class QuotedSlashes
{
    Comment,
    Text
};
// First token is the key, second the value, a "//" token the comment; outputs
// not found are null.
void parseKeyValue(const QString &line, QString &key, QString &value, QString &comment,
                   QuotedSlashes quoted = QuotedSlashes::Comment);
void parseKeyValue(const QString &line, QString &key, QString &value);
// On the bytes up to the first NUL. A key or value found but empty comes back
// empty and non-null; one not found comes back null.
void parseKeyValue(const QByteArray &line, QByteArray &key, QByteArray &value,
                   QuotedSlashes quoted = QuotedSlashes::Comment);

// --- Numbers -------------------------------------------------------------------

// Fixed notation with `precision` decimals (-1: six), then trailing zeros of
// the fraction and a dangling "." removed: 1.5 -> "1.5", 2.0 -> "2", 100 -> "100".
QString formatFloat(double value, int precision = 6);
// "1,234,567".
QString formatGroupedNumber(quint64 value);
// The first extension a file-dialog filter names, without "*.": "vmt" for
// "Valve Material Type (*.vmt);;...". Empty when it names none.
QString extensionFromFilter(const QString &filter);

// --- Devices and folders -------------------------------------------------------

// Copies `count` bytes (-1: from the source's position to its end) in chunks
// of at most 1024 bytes. On a short read or write returns false and, when
// `error` is given, sets a DeviceError text. Neither device is opened, closed
// or repositioned beyond the reads and writes.
bool copyDevice(QIODevice *source, QIODevice *target, qint64 count = -1, QString *error = nullptr);
// Writes `count` bytes cycling through `pattern`. True for an empty pattern or
// a count of 0 or less (nothing written); false when the device is not open,
// not writable or a write fails.
bool writePattern(const QByteArray &pattern, QIODevice *device, int count);
// Creates the folder and every missing parent (relative paths from the
// current folder). With isFile, the path names a file and its directory part is
// created. True when the folder exists afterwards.
bool makePath(const QString &path, bool isFile = false);

// --- Powers of two (image sizes) ---------------------------------------------

// Smallest power of two not below the value (strict: above it); 0 gives 1.
// Values above 2^63 give 2^63.
quint64 nextPowerOfTwo(quint64 value, bool strict = false);
// Largest power of two not above the value (strict: below it); 0 gives 1
// (and so does 1 when strict).
quint64 previousPowerOfTwo(quint64 value, bool strict = false);
// The value when it is a power of two, else the nearer of the previous and the
// next, a tie going to the larger; 0 gives 1.
quint64 nearestPowerOfTwo(quint64 value);
// n when the value is exactly 2^n, else -1 (also for 0).
int powerOfTwoExponent(quint64 value);
