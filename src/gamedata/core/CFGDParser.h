#pragma once

#include "CFGDCursor.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVector>

class CFileFGD;
struct FGDEntityClass;
struct FGDInputOutput;
struct FGDKeyvalue;

// One forward pass over the text of an entity definition file, appending what
// it declares to a document. "@include" names are recorded, not followed.
// Every loop consumes at least one byte per turn or ends, so any input ends
// in time linear in its size.
class CFGDParser
{
public:
    CFGDParser(const QByteArray &text, CFileFGD &document);

    // True when the text was read to its end or to a top-level "%". On a
    // syntax error false, with the reason in error(); what was read until
    // then stays in the document.
    bool parse();
    const QString &error() const { return m_error; }

private:
    void readInclude();
    bool readMaterialExclusion();
    bool readAutoVisGroup();
    void skipMapDirective();
    bool readClass();
    bool readBodyItem(FGDEntityClass &entityClass);
    void readInputOutput(QVector<FGDInputOutput> &list, const QByteArray &name);
    void readKeyvalueTail(FGDKeyvalue &keyvalue);
    bool readChoices(FGDKeyvalue &keyvalue);
    bool readFlags(FGDEntityClass &entityClass);

    // The byte must be `opening`: passes it and the blanks after it.
    bool enter(char opening);
    void passDirective(const char *directive);
    bool fail(char expected);

    CFGDCursor m_cursor;
    CFileFGD &m_document;
    // Case-folded names already in the document's includes and exclusions,
    // so that each duplicate check is one lookup.
    QSet<QString> m_includeKeys;
    QSet<QString> m_exclusionKeys;
    // Lowercased sphere radius key names of the class being read.
    QSet<QByteArray> m_sphereNames;
    QString m_error;
};
