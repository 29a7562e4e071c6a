// The configuration file, read from a device as the start-up reads it.
#include "CConfig.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"

using FuzzCheck::require;

namespace {

// The entries of the lists and their characters.
template <typename... Lists>
qint64 textSize(const Lists &...lists)
{
    return (0 + ... + (lists.size() + lists.join(QString()).size()));
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    FuzzCheck::CountingBuffer device(input, QIODevice::Text);
    CConfig c;
    c.load(&device);
    // Every byte is read once, line by line.
    FuzzCheck::requireLinear(device.bytesRead(), input.size(), 1, 0, "configuration read");

    // Lists filled from one section stay parallel.
    require(c.shaders.size() == c.shaderTips.size() &&
                c.parameters.size() == c.parameterTips.size() &&
                c.proxies.size() == c.proxyTips.size() &&
                c.proxies.size() == c.proxyParameters.size() &&
                c.soundchars.size() == c.soundcharValues.size() &&
                c.bsplumps.size() == c.bsplumpValues.size() &&
                c.vmttexturekeys.size() == c.vmttextureExceptions.size() &&
                c.specialkeys.size() == c.specialkeyPaths.size() &&
                c.mapfiles.size() == c.mapfileKinds.size() &&
                c.spriteshapes.size() == c.spriteshapeLabels.size(),
            "parallel lists");
    qint64 built = textSize(
        c.shaders, c.shaderTips, c.parameters, c.parameterTips, c.proxies, c.proxyTips,
        c.proxyParameters, c.soundchars, c.soundcharValues, c.bsplumps, c.bsplumpValues,
        c.contentdirectories, c.vmtmaterialkeys, c.vmttexturekeys, c.studiokeys, c.materialkeys,
        c.spritekeys, c.soundkeys, c.scenekeys, c.particlekeys, c.specialkeys, c.specialkeyPaths,
        c.mapfiles, c.mapfileKinds, c.detailorientations, c.spriteshapes, c.spriteshapeLabels);
    for (const QStringList *exceptions : qAsConst(c.vmttextureExceptions))
        built += exceptions ? textSize(*exceptions) : 0;
    // A line goes into three lists at most, plus a default of five characters.
    FuzzCheck::requireLinear(quint64(built), input.size(), 8, 64, "configuration lists");
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    const QByteArray sections =
        "[general]\nminimize_output_on_startup:TRUE\n[/general]\n"
        "# ZEDIDAVURUR VERSION 3\n[soundchars]\n#:hash\n*\n[/soundchars]\n"
        "[proxies]\nSine:a\\b:min:max\n[/proxies]\n"
        "[vpakfile]\n[vmttexturekeys]\n$basetexture:a::b\n"
        "[/vmttexturekeys]\n[specialkeys]\nkey\n[/specialkeys]\n"
        "[mapfiles]\n*.nav\n[/mapfiles]\n[/vpakfile]\n"
        "[vvbsp]\n[spriteshapes]\nTri:Triangle\n[/spriteshapes]\n[/vvbsp]\n";
    return {sections, readFile(QStringLiteral(OSTREL_SOURCE_DIR "/src/app/zedidavurur.ini"))};
}
