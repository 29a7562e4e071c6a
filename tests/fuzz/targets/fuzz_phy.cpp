// Collision models: loaded from a device, scanned, written and read again.
#include "CFilePHY.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "ModelBuilders.h"
#include "ScanEmptyGame.h"

#include <memory>

namespace {

bool quoteFree(const CFilePHY &model)
{
    for (const PHYTextBlock &block : model.textBlocks)
        for (const auto &pair : block.pairs)
            if ((pair.first + pair.second).contains(QLatin1Char('"')))
                return false;
    return true;
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    FuzzCheck::CountingBuffer device(input);
    std::unique_ptr<CFilePHY> model(CFilePHY::fromDevice(&device));
    FuzzCheck::requireLinear(device.bytesRead(), input.size(), 1, 0, "collision model read");
    if (!model)
        return 0;
    scanEmptyGame(*model);

    QByteArray first;
    FuzzCheck::require(model->write(&first), "writing a collision model");
    std::unique_ptr<CFilePHY> again(CFilePHY::fromByteArray(first));
    FuzzCheck::require(again && again->solids == model->solids,
                       "a written collision model loses its solids");
    // Keys and values are written in quotes without escapes: one holding a
    // quote (from a damaged line) reads back cut. The rest must read back as
    // written.
    QByteArray second;
    FuzzCheck::require(again->write(&second), "writing a re-read collision model");
    if (quoteFree(*model))
        FuzzCheck::require(second == first, "a written collision model reads back differently");
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    const QByteArray text = "solid {\n\"index\" \"0\"\n\"mass\" \"10.5\"\n}\n"
                            "break { \"model\" \"gibs/a\" \"health\" \"5\" }\n"
                            "break {\n\"ragdoll\" \"b.mdl\"\n}\neditparams {\n}\n";
    return {buildCollisionModel({"solid one", QByteArray(20, '\x01')}, text),
            buildCollisionModel({}, QByteArray())};
}
