#include "CFGDParser.h"

#include "CFileFGD.h"
#include "FGDHelpers.h"
#include "FGDText.h"
#include "GamedataErrors.h"

namespace {

const char *const IncludeDirective = "@include";
const char *const MaterialExclusionDirective = "@MaterialExclusion";
const char *const AutoVisGroupDirective = "@AutoVisGroup";
// Directives of newer files that take only an argument list: "@mapsize(-16384,
// 16384)". Read as classes they would swallow the declaration after them.
const char *const MapDirectives[] = {"@mapsize", "@gridnav"};
const char *const Utf8Mark = "\xEF\xBB\xBF";

QSet<QString> foldedKeys(const QStringList &names)
{
    QSet<QString> keys;
    keys.reserve(names.size());
    for (const QString &name : names)
        keys.insert(name.toCaseFolded());
    return keys;
}

// Appends the name unless it is already there, ignoring case.
void appendUnique(QStringList &names, QSet<QString> &keys, const QByteArray &name)
{
    const QString text = QString::fromLatin1(name);
    const QString key = text.toCaseFolded();
    if (keys.contains(key))
        return;
    keys.insert(key);
    names.append(text);
}

// n for a value that is exactly 2^n.
int bitIndex(qint32 value)
{
    int index = 0;
    while (value > 1) {
        value >>= 1;
        ++index;
    }
    return index;
}

} // namespace

CFGDParser::CFGDParser(const QByteArray &text, CFileFGD &document)
    : m_cursor(text)
    , m_document(document)
    , m_includeKeys(foldedKeys(document.includes))
    , m_exclusionKeys(foldedKeys(document.materialExclusions))
{}

bool CFGDParser::fail(char expected)
{
    m_error = QString::fromLatin1(GamedataError::FgdExpected)
                  .arg(QLatin1Char(expected))
                  .arg(m_cursor.line());
    return false;
}

bool CFGDParser::enter(char opening)
{
    if (!m_cursor.at(opening))
        return fail(opening);
    m_cursor.step();
    m_cursor.skipBlanks();
    return true;
}

void CFGDParser::passDirective(const char *directive)
{
    m_cursor.step(int(qstrlen(directive)));
    m_cursor.skipBlanks();
}

bool CFGDParser::parse()
{
    // Editors that save UTF-8 often put a byte-order mark first.
    if (m_cursor.startsWith(Utf8Mark))
        m_cursor.step(3);
    m_cursor.skipBlanks();
    while (!m_cursor.atEnd()) {
        if (!m_cursor.at('@')) {
            // "%" ends the definitions; whatever follows is not read.
            if (m_cursor.at('%'))
                return true;
            m_error = QString::fromLatin1(GamedataError::FgdUnexpected).arg(m_cursor.line());
            return false;
        }
        // Real files spell the directives in any case ("@AutoVisgroup").
        if (m_cursor.startsWithNoCase(IncludeDirective)) {
            readInclude();
        } else if (m_cursor.startsWithNoCase(MaterialExclusionDirective)) {
            if (!readMaterialExclusion())
                return false;
        } else if (m_cursor.startsWithNoCase(AutoVisGroupDirective)) {
            if (!readAutoVisGroup())
                return false;
        } else if (m_cursor.startsWithNoCase(MapDirectives[0]) ||
                   m_cursor.startsWithNoCase(MapDirectives[1])) {
            skipMapDirective();
        } else if (!readClass()) {
            return false;
        }
        m_cursor.skipBlanks();
    }
    return true;
}

void CFGDParser::readInclude()
{
    m_cursor.step(int(qstrlen(IncludeDirective)));
    const QByteArray line = m_cursor.readUntil('\n');
    if (line.isEmpty())
        return;
    const QByteArray name = FGD::unquote(line);
    if (!name.isEmpty() && name.endsWith(".fgd"))
        appendUnique(m_document.includes, m_includeKeys, name);
}

bool CFGDParser::readMaterialExclusion()
{
    passDirective(MaterialExclusionDirective);
    if (!enter('['))
        return false;
    // One entry per line: "]" closes the block only as a line's first byte.
    while (!m_cursor.atEnd() && !m_cursor.at(']')) {
        const QByteArray entry = FGD::unquote(m_cursor.readUntil('\n'));
        if (!entry.isEmpty())
            appendUnique(m_document.materialExclusions, m_exclusionKeys, entry);
        m_cursor.skipBlanks();
    }
    m_cursor.step();
    return true;
}

bool CFGDParser::readAutoVisGroup()
{
    passDirective(AutoVisGroupDirective);
    if (!enter('='))
        return false;
    m_document.autoVisgroups.append(FGDAutoVisgroup());
    FGDAutoVisgroup &major = m_document.autoVisgroups.last();
    major.name = m_cursor.readQuotedString();
    if (!m_cursor.at('['))
        return fail('[');
    for (;;) {
        // Over the major group's "[" first, then over each minor group's "]".
        m_cursor.step();
        m_cursor.skipBlanks();
        if (m_cursor.atEnd() || m_cursor.at(']'))
            break;
        major.minors.append(FGDAutoVisgroupMinor());
        FGDAutoVisgroupMinor &minor = major.minors.last();
        minor.name = m_cursor.readQuotedString();
        if (!enter('['))
            return false;
        while (!m_cursor.atEnd() && !m_cursor.at(']')) {
            // Only quoted names: anything else would never be passed.
            if (!m_cursor.at('"'))
                return fail('"');
            minor.entities.append(m_cursor.readQuotedString());
        }
    }
    m_cursor.step();
    return true;
}

void CFGDParser::skipMapDirective()
{
    m_cursor.readWordUntil('(');
    m_cursor.skipBlanks();
    if (m_cursor.at('(')) {
        m_cursor.readUntil(')');
        m_cursor.step();
    }
}

bool CFGDParser::readClass()
{
    m_document.classes.append(FGDEntityClass());
    FGDEntityClass &entityClass = m_document.classes.last();
    m_sphereNames.clear();

    entityClass.type = FGD::classTypeFromName(m_cursor.readWord());
    m_cursor.skipBlanks();
    const QByteArray helperText = m_cursor.readUntil('=');
    if (!helperText.isEmpty())
        FGD::applyHelpers(helperText, entityClass, m_sphereNames);
    m_cursor.step();
    m_cursor.skipBlanks();
    entityClass.classname = m_cursor.readWordUntil(':');
    m_cursor.skipBlanks();
    if (m_cursor.at(':')) {
        m_cursor.step();
        m_cursor.skipBlanks();
        entityClass.description = m_cursor.readQuotedString();
    }
    m_cursor.skipBlanks();
    if (!enter('['))
        return false;
    while (!m_cursor.atEnd() && !m_cursor.at(']')) {
        if (!readBodyItem(entityClass))
            return false;
        m_cursor.skipBlanks();
    }
    m_cursor.step();
    return true;
}

bool CFGDParser::readBodyItem(FGDEntityClass &entityClass)
{
    const QByteArray head = m_cursor.readUntil('(');
    m_cursor.step();
    // Exactly one space: "inputKill(void)" is a keyvalue named inputKill.
    if (head.startsWith("input ")) {
        readInputOutput(entityClass.inputs, head.mid(6));
        return true;
    }
    if (head.startsWith("output ")) {
        readInputOutput(entityClass.outputs, head.mid(7));
        return true;
    }

    FGDKeyvalue keyvalue;
    keyvalue.name = head;
    keyvalue.sphereRadius = !m_sphereNames.isEmpty() && m_sphereNames.contains(head.toLower());
    // "spawnflags( Flags )": blanks inside the parentheses are no part of the type.
    const QByteArray typeText = m_cursor.readUntil(')').trimmed();
    keyvalue.type = FGD::parameterTypeFromName(typeText);
    m_cursor.step();
    m_cursor.skipBlanks();
    if (typeText.left(5).toLower() == "flags")
        return readFlags(entityClass);
    readKeyvalueTail(keyvalue);
    // A "=" after a keyvalue of another type starts the next item's head.
    if (keyvalue.type == FGDChoices && m_cursor.at('=') && !readChoices(keyvalue))
        return false;
    entityClass.keyvalues.append(std::move(keyvalue));
    return true;
}

void CFGDParser::readInputOutput(QVector<FGDInputOutput> &list, const QByteArray &name)
{
    FGDInputOutput item;
    item.name = name;
    item.type = FGD::parameterTypeFromName(m_cursor.readUntil(')').trimmed());
    m_cursor.step();
    m_cursor.skipBlanks();
    if (m_cursor.at(':')) {
        m_cursor.step();
        m_cursor.skipBlanks();
        item.description = m_cursor.readQuotedString();
    }
    list.append(item);
}

// `[readonly] : "Display" [: default [: "Description"]]`
void CFGDParser::readKeyvalueTail(FGDKeyvalue &keyvalue)
{
    keyvalue.readonly = m_cursor.readWordUntil(':').startsWith("readonly");
    m_cursor.skipBlanks();
    m_cursor.step(); // the ":" after the type or "readonly"
    m_cursor.skipBlanks();
    keyvalue.displayName = m_cursor.readQuotedString();
    if (!m_cursor.at(':'))
        return;
    m_cursor.step();
    m_cursor.skipBlanks();
    const bool emptyDefault = m_cursor.at(':');
    if (m_cursor.at('"')) {
        keyvalue.defaultValue = m_cursor.readQuotedString();
    } else if (!emptyDefault) {
        keyvalue.defaultValue = m_cursor.readWordUntil(':');
        m_cursor.skipBlanks();
    }
    if (emptyDefault || m_cursor.at(':')) {
        m_cursor.step();
        m_cursor.skipBlanks();
        if (m_cursor.at('"'))
            keyvalue.description = m_cursor.readQuotedString();
    }
}

// `= [ value : "text" ... ]`, the position on the "=".
bool CFGDParser::readChoices(FGDKeyvalue &keyvalue)
{
    m_cursor.step();
    m_cursor.skipBlanks();
    if (!enter('['))
        return false;
    while (!m_cursor.atEnd() && !m_cursor.at(']')) {
        FGDChoice choice;
        if (m_cursor.at('"')) {
            choice.value = m_cursor.readQuotedString();
            if (m_cursor.at(':'))
                m_cursor.step();
        } else {
            choice.value = m_cursor.readWordUntil(':');
            m_cursor.skipBlanks();
            m_cursor.step();
        }
        m_cursor.skipBlanks();
        choice.text = m_cursor.readQuotedString();
        m_cursor.skipBlanks();
        keyvalue.choices.append(choice);
    }
    m_cursor.step();
    return true;
}

// `= [ value : "text" [: default] ... ]`; the flags belong to the class.
bool CFGDParser::readFlags(FGDEntityClass &entityClass)
{
    if (!enter('=') || !enter('['))
        return false;
    for (;;) {
        m_cursor.skipBlanks();
        if (m_cursor.atEnd() || m_cursor.at(']'))
            break;
        bool ok = false;
        qint32 value = m_cursor.readWordUntil(':').toInt(&ok, 10);
        // Only single bits name a flag.
        if (!ok || value <= 0 || (value & (value - 1)) != 0)
            value = 0;
        m_cursor.skipBlanks();
        m_cursor.step(); // the ":"
        m_cursor.skipBlanks();
        const QByteArray text = m_cursor.readQuotedString();
        if (value) {
            entityClass.flagMask |= value;
            entityClass.flagTexts[bitIndex(value)] = text;
        }
        if (m_cursor.at(':')) {
            m_cursor.step();
            m_cursor.skipBlanks();
            const QByteArray defaultValue = m_cursor.readWord();
            if (value && defaultValue.startsWith('1'))
                entityClass.flagDefaults |= value;
        }
    }
    m_cursor.step();
    return true;
}
