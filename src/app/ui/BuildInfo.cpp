#include "BuildInfo.h"

#include <QDate>
#include <QStringList>

QString buildDate()
{
    // __DATE__ is "Mmm dd yyyy" in English whatever the locale.
    static const QStringList months = {
        QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
        QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
        QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    const QStringList parts = QString::fromLatin1(__DATE__).simplified().split(QLatin1Char(' '));
    if (parts.size() != 3)
        return QString::fromLatin1(__DATE__);
    const QDate date(parts.at(2).toInt(), months.indexOf(parts.at(0)) + 1, parts.at(1).toInt());
    return date.isValid() ? date.toString(Qt::ISODate) : QString::fromLatin1(__DATE__);
}
