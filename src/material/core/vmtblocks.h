#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The block structure of a material script, read from its lines in one pass:
// quoted strings, words, braces and "//" comments, as the engine reads them,
// except that a key's value must stand on the key's own line (as every real
// script has it). Braces inside quotes or comments do not count; a quote left
// open ends with its line, and "[...]" platform conditions are passed over.
// Only the blocks the routines need are kept (the material, a patch's first
// "insert" and "replace" blocks, their first Proxies blocks and, in those, the
// proxies of one name), so that deep or countless blocks cost no more than
// their lines.

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
    int proxies = -1;     // in a block of keys: its first Proxies block (any case)
};

class VmtStructure
{
public:
    // Keeps the proxies named `proxy` (any case); none for an empty name.
    explicit VmtStructure(const QStringList &lines, const QString &proxy = QString());

    const VmtBlock &block(int index) const { return m_blocks.at(index); }
    int blockCount() const { return m_blocks.size(); }
    // The material's block: the first block at the top, unless that is a
    // Proxies block. -1 without one whose block closes: such a script gets no
    // edit.
    int material() const { return m_material; }
    // The blocks that hold the material's keys, in the order the engine
    // applies them: a "patch" material's "insert" and "replace" blocks (those
    // it has), else the material's own. None without a material.
    const QVector<int> &keyBlocks() const { return m_keyBlocks; }
    // The block new keys and proxies go into: the material's own, or a
    // patch's "insert" block; -1 for a patch without one.
    int newKeysBlock() const { return m_newKeys; }
    // A line holding a key and a value and no brace directly in one of the
    // key blocks, before or after its Proxies block but never in a block
    // nested in it (a fallback block, the Proxies block): that key block, or -1.
    int keyValue(const QStringList &lines, int line, QString &key, QString &value) const;
    // The first such line of the key block `block` whose key matches, or -1.
    int findKey(const QStringList &lines, int block, const QString &key,
                Qt::CaseSensitivity cs = Qt::CaseInsensitive, QString *value = nullptr) const;
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
    // A kept block that may hold the material's keys and a Proxies block.
    bool holdsKeys(int index) const;

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
    bool m_patch = false;     // the material is a "patch"
    int m_insert = -1;        // a patch's first "insert" block
    int m_replace = -1;       // a patch's first "replace" block
    int m_material = -1;
    int m_newKeys = -1;
    QVector<int> m_keyBlocks;
};
