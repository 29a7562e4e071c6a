#pragma once

#include "CFileFGD.h"

#include <QStringList>

// The document as text, default values left out, so that a row states only
// what its input should produce.
inline QString dump(const CFileFGD &fgd)
{
    QStringList out;
    auto q = [](const QByteArray &text) {
        return QLatin1Char('"') + QString::fromLatin1(text) + QLatin1Char('"');
    };
    auto hex = [](const QColor &c) { return QString::number(c.rgba(), 16); };
    auto vec = [](const CVector3 &v) {
        return QStringLiteral("%1 %2 %3").arg(v.x).arg(v.y).arg(v.z);
    };
    for (const QString &name : fgd.includes)
        out << QStringLiteral("include ") + name;
    for (const QString &name : fgd.materialExclusions)
        out << QStringLiteral("exclude ") + name;
    for (const FGDAutoVisgroup &group : fgd.autoVisgroups) {
        out << QStringLiteral("visgroup ") + q(group.name);
        for (const FGDAutoVisgroupMinor &minor : group.minors) {
            QStringList entities;
            for (const QByteArray &entity : minor.entities)
                entities << QString::fromLatin1(entity);
            out << QStringLiteral(" minor %1: %2")
                       .arg(q(minor.name), entities.join(QLatin1Char(',')));
        }
    }
    for (const FGDEntityClass &c : fgd.classes) {
        out << QStringLiteral("class %1 %2 %3")
                   .arg(c.type)
                   .arg(QString::fromLatin1(c.classname), q(c.description));
        if (!c.bases.isEmpty())
            out << QStringLiteral(" bases ") + QString::fromLatin1(c.bases.join(','));
        if (!c.iconSprite.isEmpty() || !c.studioPropModel.isEmpty() || !c.studioModel.isEmpty())
            out << QStringLiteral(" models %1 %2 %3")
                       .arg(q(c.iconSprite), q(c.studioPropModel), q(c.studioModel));
        if (c.helperFlags || c.color != QColor(255, 0, 255))
            out << QStringLiteral(" helpers %1 color %2").arg(c.helperFlags).arg(hex(c.color));
        if (c.sizeMin.x || c.sizeMin.y || c.sizeMin.z || c.hasSizeMax)
            out << QStringLiteral(" size ") + vec(c.sizeMin) +
                       (c.hasSizeMax ? QStringLiteral(", ") + vec(c.sizeMax) : QString());
        for (const FGDLine &line : c.lines)
            out << QStringLiteral(" line %1 %2 %3")
                       .arg(hex(line.color), QString::fromLatin1(line.source),
                            QString::fromLatin1(line.target));
        for (const FGDCylinder &y : c.cylinders)
            out << QStringLiteral(" cylinder %1 ").arg(hex(y.color)) +
                       QString::fromLatin1(QList<QByteArray>{y.source, y.target, y.value3, y.value4,
                                                             y.value5, y.value6}
                                               .join(','));
        if (c.flagMask || c.flagDefaults)
            out << QStringLiteral(" flags %1 defaults %2").arg(c.flagMask).arg(c.flagDefaults);
        for (int i = 0; i < c.flagTexts.size(); ++i) {
            if (!c.flagTexts.at(i).isEmpty())
                out << QStringLiteral(" flag %1 %2").arg(i).arg(q(c.flagTexts.at(i)));
        }
        for (const FGDKeyvalue &kv : c.keyvalues) {
            out << QStringLiteral(" kv %1 %2 %3 %4 %5%6%7")
                       .arg(q(kv.name))
                       .arg(kv.type)
                       .arg(q(kv.displayName), q(kv.defaultValue), q(kv.description),
                            kv.readonly ? QStringLiteral(" readonly") : QString(),
                            kv.sphereRadius ? QStringLiteral(" sphere") : QString());
            for (const FGDChoice &choice : kv.choices)
                out << QStringLiteral("  choice %1 %2").arg(q(choice.value), q(choice.text));
        }
        for (const auto *list : {&c.inputs, &c.outputs}) {
            for (const FGDInputOutput &io : *list)
                out << QStringLiteral(" %1 %2 %3 %4")
                           .arg(list == &c.inputs ? "input" : "output", q(io.name))
                           .arg(io.type)
                           .arg(q(io.description));
        }
    }
    return out.join(QLatin1Char('\n'));
}
