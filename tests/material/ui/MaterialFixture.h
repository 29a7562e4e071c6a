#pragma once

#include "CConfig.h"
#include "FileBytes.h"
#include "ScriptedMainWindow.h"
#include "ScriptedPrompt.h"
#include "UnwritableFile.h"

// Records the editors the main window is asked to open.
class FakeMainWindow : public ScriptedMainWindow
{
    Q_OBJECT

public:
    QStringList opened;

public slots:
    void showVVMT(const QString &path) { opened << path; }
};

// The vocabularies the tools list, in place of a configuration file (without
// tips: a configuration may lack them).
inline void useMaterialVocabulary()
{
    CConfig *config = CConfig::instance();
    config->shaders = QStringList{"LightmappedGeneric", "VertexLitGeneric"};
    config->parameters = QStringList{"$basetexture", "$bumpmap"};
    config->proxies = QStringList{"AnimatedTexture", "PlayerColor"};
    config->proxyParameters = QStringList{"framevar::rate", ""};
}
