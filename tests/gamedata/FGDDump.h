#pragma once

#include "CFileFGD.h"

#include <QStringList>

// The document as text, default values left out, so that a row states only
// what its input should produce.
inline QString dump(const CFileFGD &fgd)
{
    QStringList out;
    const auto l = [](const QByteArray &text) { return QString::fromLatin1(text); };
    const auto q = [&](const QByteArray &text) { return '"' + l(text) + '"'; };
    const auto vec = [](const CVector3 &v) { return QString::asprintf("%g %g %g", v.x, v.y, v.z); };
    for (const QString &name : fgd.includes)
        out << "include " + name;
    for (const QString &name : fgd.materialExclusions)
        out << "exclude " + name;
    for (const FGDAutoVisgroup &group : fgd.autoVisgroups) {
        out << "visgroup " + q(group.name);
        for (const FGDAutoVisgroupMinor &minor : group.minors)
            out << " minor " + q(minor.name) + ": " + l(minor.entities.join(','));
    }
    for (const FGDEntityClass &c : fgd.classes) {
        out << QString::asprintf("class %d ", c.type) + l(c.classname) + ' ' + q(c.description);
        if (!c.bases.isEmpty())
            out << " bases " + l(c.bases.join(','));
        if (!c.iconSprite.isEmpty() || !c.studioPropModel.isEmpty() || !c.studioModel.isEmpty())
            out << " models " + q(c.iconSprite) + ' ' + q(c.studioPropModel) + ' ' +
                       q(c.studioModel);
        if (c.helperFlags || c.color != QColor(255, 0, 255))
            out << QString::asprintf(" helpers %u color %x", c.helperFlags, c.color.rgba());
        if (c.sizeMin.x || c.sizeMin.y || c.sizeMin.z || c.hasSizeMax)
            out << " size " + vec(c.sizeMin) + (c.hasSizeMax ? ", " + vec(c.sizeMax) : QString());
        for (const FGDLine &line : c.lines)
            out << QString::asprintf(" line %x ", line.color.rgba()) + l(line.source) + ' ' +
                       l(line.target);
        for (const FGDCylinder &y : c.cylinders)
            out << QString::asprintf(" cylinder %x ", y.color.rgba()) +
                       l(QList<QByteArray>{y.source, y.target, y.value3, y.value4, y.value5,
                                           y.value6}
                             .join(','));
        if (c.flagMask || c.flagDefaults)
            out << QString::asprintf(" flags %d defaults %d", c.flagMask, c.flagDefaults);
        for (int i = 0; i < c.flagTexts.size(); ++i) {
            if (!c.flagTexts.at(i).isEmpty())
                out << QString::asprintf(" flag %d ", i) + q(c.flagTexts.at(i));
        }
        for (const FGDKeyvalue &kv : c.keyvalues) {
            out << " kv " + q(kv.name) + QString::asprintf(" %d ", kv.type) + q(kv.displayName) +
                       ' ' + q(kv.defaultValue) + ' ' + q(kv.description) +
                       (kv.readonly ? " readonly" : "") + (kv.sphereRadius ? " sphere" : "");
            for (const FGDChoice &choice : kv.choices)
                out << "  choice " + q(choice.value) + ' ' + q(choice.text);
        }
        for (const FGDInputOutput &io : c.inputs)
            out << " input " + q(io.name) + QString::asprintf(" %d ", io.type) + q(io.description);
        for (const FGDInputOutput &io : c.outputs)
            out << " output " + q(io.name) + QString::asprintf(" %d ", io.type) + q(io.description);
    }
    return out.join('\n');
}
