#include "vmtfunctions.h"

#include "functions.h"
#include "vmtblocks.h"

#include <QVector>

#include <functional>

namespace {

const QChar Newline = QLatin1Char('\n');
const QChar Quote = QLatin1Char('"');
const QChar Tab = QLatin1Char('\t');
// Longer leading blanks are no layout to follow: copied, they would grow the
// script by a line's length with each edit.
constexpr int MaxCopiedIndent = 64;

QStringList splitLines(const QString &text)
{
    return text.split(Newline);
}

// New lines are indented by one tab per block around them: a key of the
// material's own block gets one.
QString tabs(int depth)
{
    return QString(depth, Tab);
}

QString keyValueLine(const QString &indent, const QString &key, const QString &value)
{
    return indent + Quote + key + QStringLiteral("\" \"") + value + Quote;
}

// A named block without a line end, its braces after `indent`; `body` is its
// lines, each with its line end.
QString namedBlock(const QString &indent, const QString &name, const QString &body)
{
    return indent + Quote + name + QStringLiteral("\"\n") + indent + QStringLiteral("{\n") + body +
           indent + QLatin1Char('}');
}

// A proxy block without a line end, its braces after `indent`.
QString proxyBlock(const QString &indent, const QString &name, const QStringList &keys,
                   const QStringList *values)
{
    QString body;
    for (int i = 0; i < keys.size(); ++i)
        body +=
            keyValueLine(indent + Tab, keys.at(i), values ? values->value(i) : QString()) + Newline;
    return namedBlock(indent, name, body);
}

// The tabs and blanks a line starts with, up to one more than
// MaxCopiedIndent.
QString leadingBlanks(const QString &line)
{
    int n = 0;
    while (n < line.size() && n <= MaxCopiedIndent &&
           (line.at(n) == Tab || line.at(n) == QLatin1Char(' ')))
        ++n;
    return line.left(n);
}

// The indentation of a new item of a patch's "insert" block, going in at
// line `at`: that of the item above it, or that of the block's "{" and a tab
// when none is (the block is empty); the block's depth in tabs when that is
// implausibly long.
QString insertIndent(const QStringList &lines, const VmtBlock &block, int at)
{
    const int above = at - 1;
    QString indent = leadingBlanks(lines.at(above));
    if (above == block.openLine)
        indent += Tab;
    return indent.size() <= MaxCopiedIndent ? indent : tabs(block.depth);
}

// Puts `make(indent)`, lines indented as the items of the block that takes
// new keys, into that block, below its last key or block above its Proxies
// block's name (with `aboveProxies`) or its closing brace; with `spaced`,
// after an empty line. A patch without an "insert" block gets one, below the
// patch's last item, holding them: elsewhere in a patch they do nothing.
// False when no line qualifies.
bool addToKeys(QStringList &lines, const VmtStructure &structure, bool aboveProxies, bool spaced,
               const std::function<QString(const QString &)> &make)
{
    const int keys = structure.newKeysBlock();
    if (keys < 0) {
        const int patch = structure.material();
        const VmtBlock &block = structure.block(patch);
        const int at = structure.insertionLine(patch, block.closeLine, true);
        if (at < 0)
            return false;
        lines.insert(at, namedBlock(tabs(block.depth), QStringLiteral("insert"),
                                    make(tabs(block.depth + 1)) + Newline));
        return true;
    }
    const VmtBlock &block = structure.block(keys);
    const int limit = aboveProxies && block.proxies >= 0 ? structure.block(block.proxies).headerLine
                                                         : block.closeLine;
    const int at = structure.insertionLine(keys, limit, true);
    if (at < 0)
        return false;
    // A patch's "insert" block follows its own layout, whatever the patch's.
    const QString indent =
        keys == structure.material() ? tabs(block.depth) : insertIndent(lines, block, at);
    lines.insert(at, (spaced ? QString(Newline) : QString()) + make(indent));
    return true;
}

// Lines taken out of a script, applied in one pass at the end: removing line
// by line would cost a copy of the rest of the script per line.
class LineCut
{
public:
    explicit LineCut(const QStringList &lines)
        : m_lines(lines)
        , m_drop(lines.size(), false)
        , m_changed(lines.size(), false)
    {}

    // A block from its name to its matching "}". Text before the name and
    // anything but a comment after the "}" are not the block's: they stay.
    // A block on a line that an earlier cut changed stays too (two proxies
    // on one line), rather than cutting at columns that moved.
    void block(const VmtBlock &block)
    {
        if (m_changed.at(block.headerLine) || m_changed.at(block.closeLine))
            return;
        QString before = m_lines.at(block.headerLine).left(block.headerColumn);
        QString after = m_lines.at(block.closeLine).mid(block.closeEnd);
        if (trimmedAscii(before).isEmpty())
            before.clear();
        const QString rest = trimmedAscii(after);
        if (rest.isEmpty() || rest.startsWith(QLatin1String("//")))
            after.clear();
        for (int i = block.headerLine; i <= block.closeLine; ++i)
            m_drop[i] = true;
        if (block.headerLine == block.closeLine) {
            keep(block.headerLine, before + after);
        } else {
            keep(block.headerLine, before);
            keep(block.closeLine, after);
        }
    }
    void emptyLinesBelow(int line)
    {
        for (int i = line + 1; i < m_lines.size() && m_lines.at(i).isEmpty(); ++i)
            m_drop[i] = true;
    }
    // The exactly empty lines left directly above a line.
    void emptyLinesAbove(int line)
    {
        for (int i = line - 1; i >= 0; --i) {
            if (m_drop.at(i))
                continue;
            if (!m_lines.at(i).isEmpty())
                break;
            m_drop[i] = true;
        }
    }
    QString joined() const
    {
        QStringList kept;
        kept.reserve(m_lines.size());
        for (int i = 0; i < m_lines.size(); ++i) {
            if (!m_drop.at(i))
                kept << m_lines.at(i);
        }
        return kept.join(Newline);
    }

private:
    void keep(int line, const QString &text)
    {
        if (text.isEmpty())
            return;
        m_lines[line] = text;
        m_drop[line] = false;
        m_changed[line] = true;
    }

    QStringList m_lines;
    QVector<bool> m_drop;
    QVector<bool> m_changed;
};

} // namespace

QString setVmtShader(QString &text, const QString &shader)
{
    const QString shaderLine = Quote + shader + Quote;
    if (trimmedAscii(text).isEmpty()) {
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
    if (trimmedAscii(text).isEmpty()) {
        text += QStringLiteral("\"\"\n{\n") + keyValueLine(tabs(1), key, value) +
                QStringLiteral("\n}\n");
        return QString();
    }

    QStringList lines = splitLines(text);
    const VmtStructure structure(lines);
    if (structure.material() < 0)
        return QString::fromLatin1(VmtMessage::NoKeyValueInsertionPoint);
    // A key the material holds changes where it stands: the first line of
    // each block that holds it.
    bool held = false;
    for (const int keys : structure.keyBlocks()) {
        const int at = structure.findKey(lines, keys, key);
        if (at >= 0) {
            lines[at] = keyValueLine(tabs(structure.block(keys).depth), key, value);
            held = true;
        }
    }
    if (!held && !addToKeys(lines, structure, true, false, [&](const QString &indent) {
            return keyValueLine(indent, key, value);
        }))
        return QString::fromLatin1(VmtMessage::NoKeyValueInsertionPoint);
    text = lines.join(Newline);
    return QString();
}

QString addVmtProxy(QString &text, const QString &name, const QStringList &keys,
                    const QStringList *values)
{
    if (trimmedAscii(text).isEmpty()) {
        text += QStringLiteral("\"\"\n{\n\n\t\"Proxies\"\n\t{\n") +
                proxyBlock(tabs(2), name, keys, values) + QStringLiteral("\n\t}\n}\n");
        return QString();
    }

    QStringList lines = splitLines(text);
    const VmtStructure structure(lines);
    if (structure.material() < 0)
        return QString::fromLatin1(VmtMessage::NoProxyInsertionPoint);
    const int target = structure.newKeysBlock();
    const int proxies = target < 0 ? -1 : structure.block(target).proxies;
    if (proxies >= 0) {
        // After an empty line, directly above the block's closing brace.
        const VmtBlock &block = structure.block(proxies);
        const int at = structure.insertionLine(proxies, block.closeLine, false);
        if (at < 0)
            return QString::fromLatin1(VmtMessage::NoProxyInsertionPoint);
        lines.insert(at, Newline + proxyBlock(tabs(block.depth), name, keys, values));
    } else if (!addToKeys(lines, structure, false, true, [&](const QString &indent) {
                   // A new block after the material's last key or block.
                   return namedBlock(indent, QStringLiteral("Proxies"),
                                     proxyBlock(indent + Tab, name, keys, values) + Newline);
               })) {
        return QString::fromLatin1(VmtMessage::NoProxyInsertionPoint);
    }
    text = lines.join(Newline);
    return QString();
}

void removeVmtProxies(QString &text, const QString &name)
{
    const QStringList lines = splitLines(text);
    const VmtStructure structure(lines, name);
    LineCut cut(lines);
    bool cutting = false;
    for (const int keys : structure.keyBlocks()) {
        const int proxies = structure.block(keys).proxies;
        if (proxies < 0)
            continue;
        const VmtBlock &block = structure.block(proxies);
        if (name.isEmpty() || block.otherProxies == 0) {
            // No name, or no named proxy left: the whole block goes.
            cut.block(block);
        } else {
            for (int i = proxies + 1; i < structure.blockCount(); ++i) {
                const VmtBlock &proxy = structure.block(i);
                if (proxy.parent == proxies) {
                    cut.block(proxy);
                    cut.emptyLinesBelow(proxy.closeLine);
                }
            }
        }
        cut.emptyLinesAbove(structure.block(keys).closeLine);
        cutting = true;
    }
    if (cutting)
        text = cut.joined();
}
