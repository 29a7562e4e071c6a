#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The block structure of a material script, read from its lines in one pass:
// quoted strings, words, braces and "//" comments, as the engine reads them,
// except that a key's value must stand on the key's own line (as every real
// script has it). Braces inside quotes or comments do not count; a quote left
// open ends with its line, and "[...]" platform conditions are passed over.
// Only the blocks the routines need are kept (the material, its first
// "replace" block, their first Proxies blocks and, in those, the proxies of
// one name), so that deep or countless blocks cost no more than their lines.

struct VmtBlock
{
    QString name;       // without quotes; empty for a "{" that follows no name
    int headerLine = 0; // the line and column of its name (or of its "{")
    int headerColumn = 0;
    int openLine = 0;     // the line of its "{"
    int closeLine = -1;   // the line of its matching "}"; -1 when the text ends first
    int closeEnd = 0;     // the column just past that "}"
    int parent = -1;      // the enclosing kept block; -1 at the top
    int depth = 1;        // blocks around its contents, itself included
    int otherProxies = 0; // in a Proxies block: the named proxies not kept
};

class VmtStructure
{
public:
    // Keeps the proxies named `proxy` (any case); none for an empty name.
    explicit VmtStructure(const QStringList &lines, const QString &proxy = QString());

    const VmtBlock &block(int index) const { return m_blocks.at(index); }
    int blockCount() const { return m_blocks.size(); }
    // The block that holds the material's keys: a "patch" material's
    // "replace" block when it has one, else the material's own (the first
    // block at the top, unless that is a Proxies block). -1 without a
    // material whose block closes: such a script gets no edit.
    int keyBlock() const { return m_keys; }
    // The key block's own Proxies block (named so in any case), or -1.
    int proxiesBlock() const { return m_proxies; }
    // The lines the material's keys are looked for in: from below the key
    // block's "{" to above its Proxies block's name, or to its "}".
    int keysBegin() const;
    int keysEnd() const;
    // The blocks open at the end of a line.
    int depthAt(int line) const { return m_endDepth.at(line); }
    // A line holding a key and a value and no brace (no block's name line).
    bool keyValue(const QStringList &lines, int line, QString &key, QString &value) const;
    // Where new lines for a block go, looking upward from above `limit`: below
    // its last line that ends directly inside it and, with `afterItem`, holds
    // one of its keys or ends one of its blocks (or holds its "{"). -1 when no
    // line qualifies.
    int insertionLine(int block, int limit, bool afterItem) const;

private:
    void scanLine(const QString &line, int index);
    // A block whose name (or "{") stands at `line` and `column`.
    void openBlock(int line, int column, int openLine, const QStringRef &name);
    // The kept block the text at the current depth stands in, or -1.
    int current() const;

    QString m_proxy;
    QVector<VmtBlock> m_blocks;
    int m_depth = 0;         // blocks open where the scan stands
    QVector<int> m_open;     // the kept blocks not closed yet, innermost last
    QVector<int> m_endDepth; // per line: the blocks open at its end
    QVector<int> m_itemOf;   // per line: the block its last key or closing brace belongs to
    QVector<bool> m_braces;  // per line: holds a brace
    bool m_pending = false;  // a word waiting for its value or its "{"
    int m_pendingLine = 0;
    int m_pendingColumn = 0;
    QStringRef m_pendingName; // into the lines, which outlive the scan
    int m_replace = -1;       // the material's first "replace" block
    int m_materialProxies = -1;
    int m_replaceProxies = -1;
    int m_keys = -1;
    int m_proxies = -1;
};
