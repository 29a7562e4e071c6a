#include "vmtfunctions.h"

#include "functions.h"

#include <QVector>

namespace {

const QChar Newline = QLatin1Char('\n');
const QChar Quote = QLatin1Char('"');

QStringList splitLines(const QString &text)
{
    return text.split(Newline);
}

QString keyValueLine(const QString &key, const QString &value)
{
    return QStringLiteral("\t\"") + key + QStringLiteral("\" \"") + value + Quote;
}

// Where new lines may follow: a quoted name or key, a "$" key or an opening
// brace, after trimming.
bool isAnchor(const QString &line)
{
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(Quote) || trimmed.startsWith(QLatin1Char('$')) ||
           trimmed.startsWith(QLatin1Char('{'));
}

bool trimsToClosingBrace(const QString &line)
{
    return line.trimmed() == QLatin1String("}");
}

// The lowest line at or above `from` that is an anchor, or -1.
int anchorAtOrAbove(const QStringList &lines, int from)
{
    for (int i = from; i >= 0; --i) {
        if (isAnchor(lines.at(i)))
            return i;
    }
    return -1;
}

// The lowest line at or above `from` whose trimmed text starts with "}", or -1.
int closingAtOrAbove(const QStringList &lines, int from)
{
    for (int i = from; i >= 0; --i) {
        if (lines.at(i).trimmed().startsWith(QLatin1Char('}')))
            return i;
    }
    return -1;
}

// The first line at or below `from` that trims to "}"; the last line when the
// search runs off the end.
int closingAtOrBelow(const QStringList &lines, int from)
{
    for (int i = from; i < lines.size(); ++i) {
        if (trimsToClosingBrace(lines.at(i)))
            return i;
    }
    return lines.size() - 1;
}

QString proxyBody(const QStringList &keys, const QStringList *values)
{
    QString body;
    for (int i = 0; i < keys.size(); ++i) {
        body += QStringLiteral("\t\t\t\"") + keys.at(i) + QStringLiteral("\" \"") +
                (values ? values->value(i) : QString()) + QStringLiteral("\"\n");
    }
    return body;
}

// From the header down to the first line that is exactly "\t}", or to the end.
void removeWholeBlock(QStringList &lines, int header)
{
    int end = lines.size() - 1;
    for (int i = header; i < lines.size(); ++i) {
        if (lines.at(i) == QLatin1String("\t}")) {
            end = i;
            break;
        }
    }
    lines.erase(lines.begin() + header, lines.begin() + end + 1);
}

// Removes the exactly empty lines directly above the last line that trims to
// "}" (normally the material's closing brace).
void removeBlanksAboveClosingBrace(QStringList &lines)
{
    int brace = lines.size() - 1;
    while (brace >= 0 && !trimsToClosingBrace(lines.at(brace)))
        --brace;
    if (brace < 0)
        return;
    int first = brace;
    while (first > 0 && lines.at(first - 1).isEmpty())
        --first;
    lines.erase(lines.begin() + first, lines.begin() + brace);
}

// A word alone on its line that is no brace: the name of an unquoted proxy.
bool isProxyName(const QString &key)
{
    return !key.isEmpty() && key != QLatin1String("{") && key != QLatin1String("}");
}

// Marks the proxies named `name` (lower case) below the header for removal.
// Returns how many proxies stay, their names quoted or not.
int markNamedProxies(const QStringList &lines, int header, const QString &name, QVector<bool> &drop)
{
    const int count = lines.size();
    int kept = 0;
    int i = header + 1;
    while (i < count) {
        const QString &line = lines.at(i);
        QString key, value;
        if (splitKeyValueLine(line, key, value)) {
            ++i;
        } else if (key.toLower() == name) {
            // The name line, its block, and the empty lines that follow it.
            const int end = closingAtOrBelow(lines, i);
            for (; i <= end; ++i)
                drop[i] = true;
            for (; i < count && lines.at(i).isEmpty(); ++i)
                drop[i] = true;
        } else if (line.trimmed().startsWith(Quote) || isProxyName(key)) {
            ++kept;
            i = closingAtOrBelow(lines, i) + 1;
        } else {
            ++i;
        }
    }
    return kept;
}

} // namespace

bool isVmtProxiesHeader(const QString &line)
{
    return line == QLatin1String("Proxies") || line == QLatin1String("\"Proxies\"") ||
           line == QLatin1String("\tProxies") || line == QLatin1String("\t\"Proxies\"");
}

int indexOfVmtProxiesHeader(const QStringList &lines)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (isVmtProxiesHeader(lines.at(i)))
            return i;
    }
    return -1;
}

QString setVmtShader(QString &text, const QString &shader)
{
    const QString shaderLine = Quote + shader + Quote;
    if (text.trimmed().isEmpty()) {
        text += shaderLine + QStringLiteral("\n{\n}\n");
        return QString();
    }

    QStringList lines = splitLines(text);
    const int brace = lines.indexOf(QStringLiteral("{"));
    if (brace >= 0) {
        // An indented quoted line does not count here.
        for (int i = brace - 1; i >= 0; --i) {
            if (lines.at(i).startsWith(Quote)) {
                lines[i] = shaderLine;
                text = lines.join(Newline);
                return QString();
            }
        }
        for (int i = brace - 1; i >= 0; --i) {
            if (!lines.at(i).isEmpty()) {
                lines[i] = shaderLine;
                text = lines.join(Newline);
                return QString::fromLatin1(VmtMessage::ShaderReplacementQuestionable);
            }
        }
        lines.insert(brace, shaderLine);
        text = lines.join(Newline);
        return QString::fromLatin1(VmtMessage::ShaderInsertionQuestionable);
    }

    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).startsWith(Quote)) {
            lines[i] = shaderLine;
            text = lines.join(Newline);
            return QString::fromLatin1(VmtMessage::ShaderInsertionQuestionable);
        }
    }
    return QString::fromLatin1(VmtMessage::NoShaderInsertionPoint);
}

QString setVmtKeyValue(QString &text, const QString &key, const QString &value)
{
    if (text.trimmed().isEmpty()) {
        text += QStringLiteral("\"\"\n{\n") + keyValueLine(key, value) + QStringLiteral("\n}\n");
        return QString();
    }

    QStringList lines = splitLines(text);
    const QString wanted = key.toLower();
    int stop = lines.size();
    for (int i = 0; i < lines.size(); ++i) {
        // Keys inside the proxies are never the material's own.
        if (isVmtProxiesHeader(lines.at(i))) {
            stop = i;
            break;
        }
        QString lineKey, lineValue;
        if (splitKeyValueLine(lines.at(i), lineKey, lineValue) && lineKey.toLower() == wanted) {
            lines[i] = keyValueLine(key, value);
            text = lines.join(Newline);
            return QString();
        }
    }

    const int anchor = anchorAtOrAbove(lines, stop - 1);
    if (anchor < 0)
        return QString::fromLatin1(VmtMessage::NoKeyValueInsertionPoint);
    lines.insert(anchor + 1, keyValueLine(key, value));
    text = lines.join(Newline);
    return QString();
}

QString addVmtProxy(QString &text, const QString &name, const QStringList &keys,
                    const QStringList *values)
{
    const QString body = proxyBody(keys, values);
    const QString proxy = QStringLiteral("\t\t\"") + name + QStringLiteral("\"\n\t\t{\n") + body +
                          QStringLiteral("\t\t}");
    if (text.trimmed().isEmpty()) {
        text += QStringLiteral("\"\"\n{\n\n\t\"Proxies\"\n\t{\n") + proxy +
                QStringLiteral("\n\t}\n}\n");
        return QString();
    }

    QStringList lines = splitLines(text);
    if (indexOfVmtProxiesHeader(lines) >= 0) {
        // The "Proxies" block is taken to be the material's last block: the new
        // proxy goes above the second closing brace from the bottom.
        const int materialEnd = closingAtOrAbove(lines, lines.size() - 1);
        const int blockEnd = materialEnd < 0 ? -1 : closingAtOrAbove(lines, materialEnd - 1);
        if (blockEnd < 0)
            return QString::fromLatin1(VmtMessage::NoProxyInsertionPoint);
        lines.insert(blockEnd, Newline + proxy);
        text = lines.join(Newline);
        return QString();
    }

    const int anchor = anchorAtOrAbove(lines, lines.size() - 1);
    if (anchor < 0)
        return QString::fromLatin1(VmtMessage::NoProxyInsertionPoint);
    lines.insert(anchor + 1,
                 QStringLiteral("\n\t\"Proxies\"\n\t{\n") + proxy + QStringLiteral("\n\t}"));
    text = lines.join(Newline);
    return QString();
}

void removeVmtProxies(QString &text, const QString &name)
{
    QStringList lines = splitLines(text);
    const int count = lines.size();
    const int header = indexOfVmtProxiesHeader(lines);
    if (header < 0)
        return;

    bool removedByName = false;
    if (!name.isEmpty() && header != count - 1) {
        QVector<bool> drop(count, false);
        if (markNamedProxies(lines, header, name.toLower(), drop) > 0) {
            // Built in one pass: removing line by line would cost a copy of
            // the rest of the script per line.
            QStringList kept;
            kept.reserve(count);
            for (int i = 0; i < count; ++i) {
                if (!drop.at(i))
                    kept << lines.at(i);
            }
            lines = kept;
            removedByName = true;
        }
    }
    // No quoted proxy left (or no name): the whole block goes.
    if (!removedByName)
        removeWholeBlock(lines, header);

    removeBlanksAboveClosingBrace(lines);
    if (lines.size() != count)
        text = lines.join(Newline);
}
