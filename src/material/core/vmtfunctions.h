#pragma once

#include <QString>
#include <QStringList>

// The four routines that change the text of a material script. They edit it
// in place, line by line. The shader line is found by layout; the others go
// where the script's block structure says (vmtblocks.h): a key or proxy the
// material holds is changed or removed where it stands; new keys go into the
// block that takes them (a "patch" material's "insert" block, made when it
// has none), new proxies into that block's Proxies block; and a removal takes
// a block from its name to its matching brace. A script without a material
// block that closes gets no key or proxy edit.
//
// The text is split at each "\n" and joined again with "\n" after an edit:
// callers decode every line end form to "\n" first (vmtbytes.h). The routines
// return a null string on plain success, or one of the VmtMessage texts.

namespace VmtMessage {
inline const char *const ShaderReplacementQuestionable =
    "Shader replacement accuracy may be questionable.";
inline const char *const ShaderInsertionQuestionable =
    "Shader insertion accuracy may be questionable.";
// The three below leave the text unchanged.
inline const char *const NoShaderInsertionPoint = "Unable to find suitable shader insertion point.";
inline const char *const NoKeyValueInsertionPoint =
    "Unable to find suitable keyvalue insertion point.";
inline const char *const NoProxyInsertionPoint = "Unable to find suitable proxy insertion point.";
} // namespace VmtMessage

// Replaces the quoted shader line above the first "{" line (or, lacking one,
// the first line that starts with a quote); an empty text gets a new material.
QString setVmtShader(QString &text, const QString &shader);
// Replaces the first line of each block of the material's keys (vmtblocks.h)
// whose key matches, ignoring case, with "\"key\" \"value\"", or, when none
// has the key, inserts that line below the last key or block above the
// Proxies block (or the closing brace) of the block that takes new keys.
QString setVmtKeyValue(QString &text, const QString &key, const QString &value);
// Adds a proxy block with one "\"key\" \"value\"" line per key at the end of
// the Proxies block of the block that takes new keys, or a new "Proxies"
// block below that block's last key. Without
// `values` every value is empty; a shorter list gives empty values too.
QString addVmtProxy(QString &text, const QString &name, const QStringList &keys,
                    const QStringList *values = nullptr);
// Removes every proxy of that name (ignoring case, quoted or not), or the
// whole Proxies block when the name is empty or no proxy would be left, then
// the empty lines above the closing brace of its block. Never fails.
void removeVmtProxies(QString &text, const QString &name);
