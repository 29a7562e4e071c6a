#include "ScanConfiguration.h"

#include "CConfig.h"

ContentScan::Configuration scanConfiguration(const CConfig &config)
{
    ContentScan::Configuration c;
    c.studioKeys = config.studiokeys;
    c.spriteKeys = config.spritekeys;
    c.soundKeys = config.soundkeys;
    c.sceneKeys = config.scenekeys;
    c.particleKeys = config.particlekeys;
    c.specialKeys = config.specialkeys;
    c.specialTemplates = config.specialkeyPaths;
    c.mapFiles = config.mapfiles;
    c.mapFileKinds = config.mapfileKinds;
    c.materialKeys.materialKeys = config.vmtmaterialkeys;
    c.materialKeys.textureKeys = config.vmttexturekeys;
    // A key whose line had no ":" excludes nothing, as an empty list does.
    for (const QStringList *exceptions : config.vmttextureExceptions)
        c.materialKeys.textureExceptions.append(exceptions ? *exceptions : QStringList());
    c.soundCharacters = config.soundchars;
    return c;
}
