#include "FGDEditorRules.h"

#include "FGDHelpers.h"
#include "FGDRecords.h"
#include "FGDText.h"

#include <QStringList>

namespace {

QString tripleText(const CVector3 &v)
{
    return QStringLiteral("%1 %2 %3")
        .arg(double(v.x), 0, 'g', 6)
        .arg(double(v.y), 0, 'g', 6)
        .arg(double(v.z), 0, 'g', 6);
}

} // namespace

namespace FGDEditor {

QString textOf(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.constData());
}

QByteArray bytesOf(const QString &text)
{
    return text.toLatin1();
}

QString sizeText(const FGDEntityClass &entityClass)
{
    QString text = tripleText(entityClass.sizeMin);
    if (entityClass.hasSizeMax)
        text += QStringLiteral(" , ") + tripleText(entityClass.sizeMax);
    return text;
}

bool readSizeText(const QString &text, FGDEntityClass &entityClass)
{
    const QStringList parts = text.simplified().split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    entityClass.sizeMin = FGD::sizeTriple(bytesOf(parts.at(0)));
    entityClass.hasSizeMax = parts.size() > 1;
    if (entityClass.hasSizeMax)
        entityClass.sizeMax = FGD::sizeTriple(bytesOf(parts.at(1)));
    return true;
}

QString colorText(const QColor &color)
{
    return QStringLiteral("%1 %2 %3").arg(color.red()).arg(color.green()).arg(color.blue());
}

QColor readColorText(const QString &text, const QColor &fallback)
{
    return QColor::fromRgba(FGD::parseColorTriple(bytesOf(text), fallback.rgba()));
}

QString keyvalueIconPath(bool readonly, bool sphereRadius)
{
    if (readonly && sphereRadius)
        return QStringLiteral(":/resources/icons/spherelockright.png");
    if (readonly)
        return QStringLiteral(":/resources/icons/lock.png");
    if (sphereRadius)
        return QStringLiteral(":/resources/icons/sphere.png");
    return QString();
}

bool parameterTypeOffered(int type, bool forKeyvalue)
{
    switch (type) {
    case FGDFlags:
        return false;
    case FGDVoid:
        return !forKeyvalue;
    case FGDChoices:
        return forKeyvalue;
    default:
        return type >= 0 && type < FGDParameterTypeCount;
    }
}

} // namespace FGDEditor
