#pragma once

#include "DMXTypes.h"
#include "PcfBuilder.h"

// A particle file (binary 3, pcf 2) with one system and its material.
inline QByteArray particleFile(const QByteArray &system, const QByteArray &material)
{
    PcfBuilder b(2);
    b.header();
    b.dictionary(
        {"DmElement", "particleSystemDefinitions", "DmeParticleSystemDefinition", "material"});
    b.i32(2);
    b.element("DmElement", "root", 0);
    b.element("DmeParticleSystemDefinition", system, 1);
    b.i32(1);
    b.attribute("particleSystemDefinitions", ATTRIBUTE_ELEMENT_ARRAY).i32(1).i32(1);
    b.i32(1);
    b.attribute("material", ATTRIBUTE_STRING).text(material);
    return b.data();
}
