// Material scripts: bytes decoded as the editors decode them, edited with the
// shared text routines and encoded again.
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "vmtbulk.h"
#include "vmtbytes.h"
#include "vmtfunctions.h"

int fuzzOne(const QByteArray &input)
{
    MaterialLineEnds ends;
    const QString text = decodeMaterialText(input, &ends);
    FuzzCheck::require(encodeMaterialText(text, text, ends) == input, "a script's bytes change");

    QString edited = text;
    setVmtShader(edited, QStringLiteral("VertexLitGeneric"));
    setVmtKeyValue(edited, QStringLiteral("$basetexture"), QStringLiteral("fuzz/texture"));
    addVmtProxy(edited, QStringLiteral("Sine"),
                {QStringLiteral("sinemin"), QStringLiteral("sinemax")});
    vmtKeyValue(edited, QStringLiteral("$surfaceprop"));
    removeVmtKeyValues(edited, QStringLiteral("$surfaceprop"), QString());
    removeVmtProxies(edited, QStringLiteral("Sine"));
    // The edits add a few lines at most.
    FuzzCheck::requireLinear(quint64(edited.size()), text.size(), 1, 1024, "edited script");
    encodeMaterialText(edited, text, ends);
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    return {"\"LightmappedGeneric\"\r\n{\r\n\t\"$basetexture\" \"brick/wall01\"\r\n"
            "\t\"$surfaceprop\" \"brick\"\r\n\t\"Proxies\"\r\n\t{\r\n\t\t\"Sine\"\r\n\t\t{\r\n"
            "\t\t\t\"sinemin\" \"0\"\r\n\t\t}\r\n\t}\r\n}\r\n",
            "VertexLitGeneric\n{\n$model 1\nProxies\n{\nAnimatedTexture\n{\n}\n}\n}",
            "\"UnlitGeneric\"\r{\r\n\t$basetexture "
            "a\n\tProxies\r\t{\r\n\t\tSine\n\t\t{\r\t\t}\n\t}\r}"};
}
