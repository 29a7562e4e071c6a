#include "FGDHelpers.h"

#include "CFGDCursor.h"
#include "CFileFGD.h"
#include "FGDText.h"

#include <QList>

namespace {

const quint32 OpaqueWhite = 0xFFFFFFFFu;

// Trimmed, one trailing quote removed, one leading quote skipped.
QByteArray stripQuotes(const QByteArray &arguments)
{
    QByteArray text = arguments.trimmed();
    if (text.endsWith('"'))
        text.chop(1);
    if (text.startsWith('"'))
        text.remove(0, 1);
    return text;
}

float integerWord(const QList<QByteArray> &words, int index)
{
    bool ok = false;
    const int value = words.value(index).toInt(&ok, 10);
    return ok ? float(value) : 0.0f;
}

void applySize(const QByteArray &arguments, FGDEntityClass &entityClass)
{
    const QList<QByteArray> parts = arguments.simplified().split(',');
    if (parts.isEmpty())
        return;
    entityClass.sizeMin = FGD::sizeTriple(parts.at(0));
    if (parts.size() >= 2) {
        entityClass.hasSizeMax = true;
        entityClass.sizeMax = FGD::sizeTriple(parts.at(1));
    }
}

// A line or cylinder helper: a colour, then `fieldCount` names, separated by
// ","; nothing when there are fewer parts.
bool readConnection(const QByteArray &arguments, QColor &color, QByteArray *const *fields,
                    int fieldCount)
{
    const QList<QByteArray> parts = arguments.simplified().split(',');
    if (parts.size() < 1 + fieldCount)
        return false;
    color = QColor::fromRgba(FGD::parseColorTriple(parts.at(0), OpaqueWhite));
    for (int i = 0; i < fieldCount; ++i)
        *fields[i] = parts.at(i + 1).trimmed();
    return true;
}

void applyLine(const QByteArray &arguments, FGDEntityClass &entityClass)
{
    FGDLine line;
    QByteArray *const fields[] = {&line.source, &line.target};
    if (readConnection(arguments, line.color, fields, 2))
        entityClass.lines.append(line);
}

void applyCylinder(const QByteArray &arguments, FGDEntityClass &entityClass)
{
    FGDCylinder cylinder;
    QByteArray *const fields[] = {&cylinder.source, &cylinder.target, &cylinder.value3,
                                  &cylinder.value4, &cylinder.value5, &cylinder.value6};
    if (readConnection(arguments, cylinder.color, fields, 6))
        entityClass.cylinders.append(cylinder);
}

void applyHelper(const QByteArray &name, const QByteArray &arguments, FGDEntityClass &entityClass,
                 QSet<QByteArray> &sphereNames)
{
    // Prefix order matters: "studioprop" before "studio".
    if (name.startsWith("base")) {
        for (const QByteArray &base : arguments.split(','))
            entityClass.bases.append(base.trimmed());
    } else if (name.startsWith("color")) {
        if (arguments.simplified().split(' ').size() >= 3) {
            entityClass.helperFlags |= FGDEntityClass::HasColor;
            entityClass.color = QColor::fromRgba(FGD::parseColorTriple(arguments, 0));
        }
    } else if (name.startsWith("iconsprite")) {
        entityClass.iconSprite = stripQuotes(arguments);
    } else if (name.startsWith("sphere")) {
        const QByteArray key = arguments.trimmed().toLower();
        sphereNames.insert(key.isEmpty() ? QByteArray("radius") : key);
    } else if (name.startsWith("studioprop")) {
        entityClass.studioPropModel = stripQuotes(arguments);
    } else if (name.startsWith("studio")) {
        entityClass.studioModel = stripQuotes(arguments);
        if (entityClass.studioModel.isEmpty())
            entityClass.helperFlags |= FGDEntityClass::StudioFromKeyvalue;
    } else if (name.startsWith("size")) {
        applySize(arguments, entityClass);
    } else if (name.startsWith("line")) {
        applyLine(arguments, entityClass);
    } else if (name.startsWith("cylinder")) {
        applyCylinder(arguments, entityClass);
    } else {
        CFileFGD::reportUnknownItem(name);
    }
}

} // namespace

namespace FGD {

CVector3 sizeTriple(const QByteArray &part)
{
    const QList<QByteArray> words = part.trimmed().split(' ');
    return CVector3(integerWord(words, 0), integerWord(words, 1), integerWord(words, 2));
}

void applyHelpers(const QByteArray &helperText, FGDEntityClass &entityClass,
                  QSet<QByteArray> &sphereNames)
{
    CFGDCursor cursor(helperText);
    cursor.skipBlanks();
    while (!cursor.atEnd()) {
        const QByteArray name = cursor.readUntil('(').toLower();
        cursor.step();
        const QByteArray arguments = cursor.readUntil(')');
        // A helper without its ")" runs to the end of the text and is dropped.
        if (!cursor.at(')'))
            break;
        cursor.step();
        applyHelper(name, arguments, entityClass, sphereNames);
        cursor.skipBlanks();
    }
}

} // namespace FGD
