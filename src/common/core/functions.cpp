#include "functions.h"

#include <QDataStream>
#include <QDir>
#include <QIODevice>
#include <QRegularExpression>

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

bool isSeparatorOrSpace(QChar c)
{
    return isSeparator(c) || isAsciiSpace(c);
}

// Strips separators and white space from both ends. An absolute path keeps
// its leading "/", otherwise "/home/x" would silently become relative.
QString stripPathEnds(const QString &path)
{
    int begin = 0;
    int end = path.size();
    while (end > 0 && isSeparatorOrSpace(path.at(end - 1)))
        --end;
    while (begin < end && isAsciiSpace(path.at(begin)))
        ++begin;
    const bool absolute = begin < end && path.at(begin) == QLatin1Char('/');
    while (begin < end && isSeparatorOrSpace(path.at(begin)))
        ++begin;
    if (begin >= end)
        return QString(QLatin1String(""));
    const QString inner = path.mid(begin, end - begin);
    return absolute ? QLatin1Char('/') + inner : inner;
}

bool isByteSpace(char c)
{
    return (c >= 7 && c <= 13) || c == ' ';
}

// One leading and one trailing double quote, where present.
template <typename Text>
void unquote(Text &text)
{
    if (text.size() > 1) {
        if (text[0] == '"')
            text.erase(0, 1);
        if (!text.empty() && text[text.size() - 1] == '"')
            text.erase(text.size() - 1, 1);
    }
}

void unquote(QString &text)
{
    if (text.size() > 1) {
        if (text.startsWith(QLatin1Char('"')))
            text.remove(0, 1);
        if (text.endsWith(QLatin1Char('"')))
            text.chop(1);
    }
}

// Each token of the line as tokenizeKeyValueLine gives it, and whether it was
// written from a double quote.
template <typename Take>
void forEachToken(const QString &line, Take take)
{
    static const QRegularExpression token(QStringLiteral("(\"[^\"]+\"|//.*$|(\\S)+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatchIterator it = token.globalMatch(line);
    while (it.hasNext()) {
        QString text = it.next().captured(1);
        const bool quoted = text.startsWith(QLatin1Char('"'));
        if (text.endsWith(QLatin1Char('"')))
            text.chop(1);
        if (text.startsWith(QLatin1Char('"')))
            text.remove(0, 1);
        take(trimmedAscii(text), quoted);
    }
}

} // namespace

QString trimmedAscii(const QString &text)
{
    int begin = 0;
    int end = text.size();
    while (end > 0 && isAsciiSpace(text.at(end - 1)))
        --end;
    while (begin < end && isAsciiSpace(text.at(begin)))
        ++begin;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

void trimPath(QString &path)
{
    if (path.size() <= 1)
        return;
    path = stripPathEnds(path);
}

QString trimmedPath(const QString &path)
{
    QString result = path;
    trimPath(result);
    return result;
}

bool pathsEqual(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const QChar ca = a.at(i);
        const QChar cb = b.at(i);
        if (ca.toLower() == cb.toLower())
            continue;
        if (isSeparator(ca) && isSeparator(cb))
            continue;
        return false;
    }
    return true;
}

void normalizePath(QString &path)
{
    if (path.isEmpty())
        return;
    QString text = stripPathEnds(path);
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString result;
    result.reserve(text.size());
    for (const QChar c : qAsConst(text)) {
        if (c == QLatin1Char('/') && result.endsWith(QLatin1Char('/')))
            continue;
        result.append(c);
    }
    path = result;
}

void normalizePath(QByteArray &path)
{
    const int nul = path.indexOf('\0');
    QString text = QString::fromLatin1(nul < 0 ? path : path.left(nul));
    normalizePath(text);
    path = text.toLatin1();
}

QByteArray readLine(QIODevice *device)
{
    QByteArray line;
    if (!device || !device->isOpen() || !device->isReadable() || device->atEnd())
        return line;

    char c = 0;
    bool terminated = false;
    while (device->getChar(&c)) {
        if (c == '\0' || c == '\n' || c == '\r') {
            terminated = true;
            break;
        }
        line.append(c);
        if (device->atEnd())
            break;
    }
    if (terminated && c == '\r' && !device->atEnd()) {
        // Swallow the LF of a CR LF pair. A sequential device is only peeked,
        // so nothing is lost when the LF has not arrived yet.
        char next = 0;
        if (device->isSequential()) {
            if (device->peek(&next, 1) == 1 && next == '\n')
                device->getChar(&next);
        } else if (device->getChar(&next) && next != '\n') {
            device->ungetChar(next);
        }
    }
    return line;
}

QString readTerminatedString(QDataStream &stream, char terminator, quint16 capacityHint)
{
    QString result;
    if (capacityHint)
        result.reserve(capacityHint);
    char c = 0;
    while (stream.readRawData(&c, 1) == 1) {
        if (c == terminator)
            break;
        result.append(QChar(uchar(c)));
    }
    return result;
}

bool splitKeyValueLine(const QString &line, QString &key, QString &value)
{
    const int n = line.size();
    int i = 0;
    while (i < n && isAsciiSpace(line.at(i)))
        ++i;
    if (i >= n || line.midRef(i, 2) == QLatin1String("//")) {
        key = QString();
        value = QString();
        return false;
    }
    int start = i;
    while (i < n && !isAsciiSpace(line.at(i)))
        ++i;
    key = line.mid(start, i - start);
    unquote(key);

    while (i < n && isAsciiSpace(line.at(i)))
        ++i;
    if (i >= n || line.midRef(i, 2) == QLatin1String("//")) {
        value = QString();
        return false;
    }
    start = i;
    if (line.at(i) == QLatin1Char('"')) {
        const int close = line.indexOf(QLatin1Char('"'), i + 1);
        if (close < 0) {
            value = QString();
            return false;
        }
        value = line.mid(start, close - start + 1);
    } else {
        while (i < n && !isAsciiSpace(line.at(i)))
            ++i;
        value = line.mid(start, i - start);
    }
    unquote(value);
    return true;
}

bool splitKeyValueLine(const std::string &line, std::string &key, std::string &value)
{
    const size_t n = line.size();
    size_t i = 0;
    while (i < n && isByteSpace(line[i]))
        ++i;
    if (i >= n || line.compare(i, 2, "//") == 0) {
        key.clear();
        value.clear();
        return false;
    }
    size_t start = i;
    while (i < n && !isByteSpace(line[i]))
        ++i;
    key = line.substr(start, i - start);
    unquote(key);

    while (i < n && isByteSpace(line[i]))
        ++i;
    if (i >= n || line.compare(i, 2, "//") == 0) {
        value = "?";
        return false;
    }
    start = i;
    if (line[i] == '"') {
        const size_t close = line.find('"', i + 1);
        if (close == std::string::npos) {
            value.clear();
            return false;
        }
        value = line.substr(start, close - start + 1);
    } else {
        while (i < n && !isByteSpace(line[i]))
            ++i;
        value = line.substr(start, i - start);
    }
    unquote(value);
    return true;
}

QStringList tokenizeKeyValueLine(const QString &line)
{
    QStringList tokens;
    forEachToken(line, [&tokens](const QString &text, bool) { tokens.append(text); });
    return tokens;
}

void parseKeyValue(const QString &line, QString &key, QString &value, QString &comment,
                   QuotedSlashes quoted)
{
    key = QString();
    value = QString();
    comment = QString();
    int found = 0;
    forEachToken(line, [&](const QString &token, bool wasQuoted) {
        if (token.startsWith(QLatin1String("//")) &&
            !(wasQuoted && quoted == QuotedSlashes::Text)) {
            comment = token;
        } else if (found == 0) {
            key = token;
            ++found;
        } else if (found == 1) {
            value = token;
            ++found;
        }
    });
}

void parseKeyValue(const QString &line, QString &key, QString &value)
{
    QString comment;
    parseKeyValue(line, key, value, comment);
}

void parseKeyValue(const QByteArray &line, QByteArray &key, QByteArray &value, QuotedSlashes quoted)
{
    const int nul = line.indexOf('\0');
    QString textKey;
    QString textValue;
    QString comment;
    parseKeyValue(QString::fromLatin1(nul < 0 ? line : line.left(nul)), textKey, textValue, comment,
                  quoted);
    // Null means "not found"; found but empty must stay distinguishable.
    const auto toBytes = [](const QString &text) {
        if (text.isNull())
            return QByteArray();
        return text.isEmpty() ? QByteArray("") : text.toLatin1();
    };
    key = toBytes(textKey);
    value = toBytes(textValue);
}

QString formatFloat(double value, int precision)
{
    if (precision < 0)
        precision = 6;
    QString text = QString::number(value, 'f', precision);
    if (!text.contains(QLatin1Char('.')))
        return text;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString formatGroupedNumber(quint64 value)
{
    const QString digits = QString::number(value);
    QString result;
    result.reserve(digits.size() + digits.size() / 3);
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            result.append(QLatin1Char(','));
        result.append(digits.at(i));
    }
    return result;
}

QString extensionFromFilter(const QString &filter)
{
    const int star = filter.indexOf(QLatin1String("*."));
    if (star < 0)
        return QString();
    QString text = filter.mid(star + 2);
    const int space = text.indexOf(QLatin1Char(' '));
    if (space >= 0)
        text.truncate(space);
    const int paren = text.indexOf(QLatin1Char(')'));
    if (paren >= 0)
        text.truncate(paren);
    return text;
}

bool copyDevice(QIODevice *source, QIODevice *target, qint64 count, QString *error)
{
    if (count < 0)
        count = source ? qMax<qint64>(0, source->size() - source->pos()) : 0;
    const auto fail = [&](const char *text, qint64 remaining) {
        if (error)
            *error = QString::fromLatin1(text).arg(quint64(remaining)).arg(quint64(count));
        return false;
    };
    if (count > 0 && !source)
        return fail(DeviceError::ShortRead, count);
    if (count > 0 && !target)
        return fail(DeviceError::ShortWrite, count);

    char buffer[1024];
    qint64 remaining = count;
    while (remaining > 0) {
        const qint64 chunk = qMin<qint64>(remaining, sizeof buffer);
        if (source->read(buffer, chunk) != chunk)
            return fail(DeviceError::ShortRead, remaining);
        if (target->write(buffer, chunk) != chunk)
            return fail(DeviceError::ShortWrite, remaining);
        remaining -= chunk;
    }
    return true;
}

bool writePattern(const QByteArray &pattern, QIODevice *device, int count)
{
    if (pattern.isEmpty() || count <= 0)
        return true;
    if (!device || !device->isOpen() || !device->isWritable())
        return false;

    char buffer[4096];
    qint64 written = 0;
    while (written < count) {
        const int chunk = int(qMin<qint64>(count - written, sizeof buffer));
        for (int i = 0; i < chunk; ++i)
            buffer[i] = pattern.at(int((written + i) % pattern.size()));
        if (device->write(buffer, chunk) != chunk)
            return false;
        written += chunk;
    }
    return true;
}

bool makePath(const QString &path, bool isFile)
{
    // Paths from configuration and scripts may use Windows separators.
    QString folder = path;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (isFile) {
        const int slash = folder.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return true; // a bare file name lives in the current folder
        folder = folder.left(slash);
        if (folder.isEmpty())
            folder = QStringLiteral("/");
    }
    if (folder.isEmpty())
        return false;
    return QDir().mkpath(folder);
}

namespace {

constexpr quint64 TopPower = quint64(1) << 63;

bool isPowerOfTwo(quint64 value)
{
    return value && !(value & (value - 1));
}

quint64 highestBit(quint64 value)
{
    return quint64(1) << (63 - qCountLeadingZeroBits(value));
}

} // namespace

quint64 nextPowerOfTwo(quint64 value, bool strict)
{
    if (value == 0)
        return 1;
    if (isPowerOfTwo(value) && !strict)
        return value;
    // Nothing above 2^63 fits: saturate rather than wrap to 0.
    if (value >= TopPower)
        return TopPower;
    return highestBit(value) << 1;
}

quint64 previousPowerOfTwo(quint64 value, bool strict)
{
    if (value == 0)
        return 1;
    if (isPowerOfTwo(value))
        return strict && value > 1 ? value >> 1 : value;
    return highestBit(value);
}

quint64 nearestPowerOfTwo(quint64 value)
{
    if (value == 0)
        return 1;
    if (isPowerOfTwo(value))
        return value;
    const quint64 below = previousPowerOfTwo(value);
    const quint64 above = nextPowerOfTwo(value);
    if (above <= below)
        return below; // saturated above 2^63
    return value - below < above - value ? below : above;
}

int powerOfTwoExponent(quint64 value)
{
    if (!isPowerOfTwo(value))
        return -1;
    return int(qCountTrailingZeroBits(value));
}
