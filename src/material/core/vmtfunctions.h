#pragma once

#include <QString>
#include <QStringList>

// The four routines that change the text of a material script. They work on
// lines, by the layout conventions real scripts follow, not on a parsed tree:
// exact whole-line matches for the "Proxies" header and some braces, trimmed
// matches for others and first-character tests to find a place for new lines.
// A real parser would change which files the tools edit, so these rules stay
// as they are.
//
// The text is split at each "\n" and joined again with "\n" after an edit:
// callers decode every line end form to "\n" first (vmtbytes.h). The routines return a null string
// on plain success, or one of the VmtMessage texts.

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

// "Proxies", "\"Proxies\"", "\tProxies" or "\t\"Proxies\"", compared whole and
// case-sensitively: other indentation is not a header.
bool isVmtProxiesHeader(const QString &line);
// The first header line, or -1.
int indexOfVmtProxiesHeader(const QStringList &lines);

// Replaces the quoted shader line above the first "{" line (or, lacking one,
// the first line that starts with a quote); an empty text gets a new material.
QString setVmtShader(QString &text, const QString &shader);
// Replaces the first line above the "Proxies" header whose key matches
// (ignoring case) with "\t\"key\" \"value\"", or inserts that line after the
// lowest line above the header that starts with a quote, "$" or "{".
QString setVmtKeyValue(QString &text, const QString &key, const QString &value);
// Adds a proxy block with one "\"key\" \"value\"" line per key at the end of
// the "Proxies" block, or a new "Proxies" block when there is none. Without
// `values` every value is empty; a shorter list gives empty values too.
QString addVmtProxy(QString &text, const QString &name, const QStringList &keys,
                    const QStringList *values = nullptr);
// Removes every proxy of that name (ignoring case, quoted or not), or the
// whole "Proxies" block when the name is empty or no proxy would be left, then the
// empty lines above the material's closing brace. Never fails.
void removeVmtProxies(QString &text, const QString &name);
