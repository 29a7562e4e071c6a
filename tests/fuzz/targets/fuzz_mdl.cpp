// Studio models: loaded from a device and scanned for the files they need.
#include "CFileMDL.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "ModelBuilders.h"
#include "ScanEmptyGame.h"

#include <memory>

int fuzzOne(const QByteArray &input)
{
    FuzzCheck::CountingBuffer device(input);
    std::unique_ptr<CFileMDL> model(CFileMDL::fromDevice(&device));
    // Names are read once per table entry, cut at their cap: a bounded amount
    // on top of the tables themselves.
    const quint64 names = quint64(CFileMDL::MaxTextures + CFileMDL::MaxTextureDirectories +
                                  CFileMDL::MaxIncludeModels) *
                          CFileMDL::MaxNameLength;
    FuzzCheck::requireLinear(device.bytesRead(), input.size(), 2, names, "studio model read");
    if (!model)
        return 0;
    scanEmptyGame(*model);
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    ModelSpec spec;
    spec.textures = {"Metal01", "..\\wood"};
    spec.directories = {"models\\props/", ""};
    spec.includes = {"models/anims.mdl"};
    spec.keyvalues = "mdlkeyvalue\n{\nprop_data {\n\"base\" \"Wood.Small\"\n}\n}\n";
    return {buildModel(spec), buildModel(ModelSpec())};
}
