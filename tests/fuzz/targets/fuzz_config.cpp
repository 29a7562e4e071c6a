// The configuration file, read from a device as the start-up reads it.
#include "CConfig.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include <QFile>

using FuzzCheck::require;

namespace {

qint64 totalLength(const QStringList &list)
{
    qint64 total = list.size();
    for (const QString &entry : list)
        total += entry.size();
    return total;
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    FuzzCheck::CountingBuffer device(input, QIODevice::Text);
    CConfig config;
    config.load(&device);
    // Every byte is read once, line by line.
    FuzzCheck::requireLinear(device.bytesRead(), input.size(), 1, 0, "configuration read");

    // Lists filled from one section stay parallel.
    require(config.shaders.size() == config.shaderTips.size() &&
                config.parameters.size() == config.parameterTips.size() &&
                config.proxies.size() == config.proxyTips.size() &&
                config.proxies.size() == config.proxyParameters.size() &&
                config.soundchars.size() == config.soundcharValues.size() &&
                config.bsplumps.size() == config.bsplumpValues.size() &&
                config.vmttexturekeys.size() == config.vmttextureExceptions.size() &&
                config.specialkeys.size() == config.specialkeyPaths.size() &&
                config.mapfiles.size() == config.mapfileKinds.size() &&
                config.spriteshapes.size() == config.spriteshapeLabels.size(),
            "parallel lists");
    qint64 built = 0;
    for (const QStringList *list : {&config.shaders,
                                    &config.shaderTips,
                                    &config.parameters,
                                    &config.parameterTips,
                                    &config.proxies,
                                    &config.proxyTips,
                                    &config.proxyParameters,
                                    &config.soundchars,
                                    &config.soundcharValues,
                                    &config.bsplumps,
                                    &config.bsplumpValues,
                                    &config.contentdirectories,
                                    &config.vmtmaterialkeys,
                                    &config.vmttexturekeys,
                                    &config.studiokeys,
                                    &config.materialkeys,
                                    &config.spritekeys,
                                    &config.soundkeys,
                                    &config.scenekeys,
                                    &config.particlekeys,
                                    &config.specialkeys,
                                    &config.specialkeyPaths,
                                    &config.mapfiles,
                                    &config.mapfileKinds,
                                    &config.detailorientations,
                                    &config.spriteshapes,
                                    &config.spriteshapeLabels})
        built += totalLength(*list);
    for (const QStringList *exceptions : qAsConst(config.vmttextureExceptions))
        built += exceptions ? totalLength(*exceptions) : 0;
    // A line goes into three lists at most, plus a default of five characters.
    FuzzCheck::requireLinear(quint64(built), input.size(), 8, 64, "configuration lists");
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    QFile shipped(QStringLiteral(OSTREL_SOURCE_DIR "/src/app/zedidavurur.ini"));
    const QByteArray sections =
        "[general]\nminimize_output_on_startup:TRUE\n[/general]\n"
        "# ZEDIDAVURUR VERSION 3\n[soundchars]\n#:hash\n*\n[/soundchars]\n"
        "[proxies]\nSine:a\\b:min:max\n[/proxies]\n"
        "[vpakfile]\n[vmttexturekeys]\n$basetexture:a::b\n"
        "[/vmttexturekeys]\n[specialkeys]\nkey\n[/specialkeys]\n"
        "[mapfiles]\n*.nav\n[/mapfiles]\n[/vpakfile]\n"
        "[vvbsp]\n[spriteshapes]\nTri:Triangle\n[/spriteshapes]\n[/vvbsp]\n";
    QList<QByteArray> seeds{sections};
    if (shipped.open(QIODevice::ReadOnly))
        seeds << shipped.readAll();
    return seeds;
}
