#pragma once

#include <QList>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class CFilePCF;

// The second, INI-form settings file "./zura.ini", read once through QSettings
// when the object is built and never written. Its values mirror those of
// CConfig under different group and key names (group "ostrel" for the general
// switches, "check_for_updates_on_start", "save_lump_name_not_number",
// "scanPakVMTs", "vmt:shaders", "referencedcontent:entity:studiokeys", ...).
// No tool reads it; CConfig is the configuration the tools use.
class VSettings : public QSettings
{
public:
    static constexpr const char *FileName = "./zura.ini";

    // The one process-wide object over FileName, built on the first call.
    static VSettings *instance();

    VSettings(const QString &fileName, QSettings::Format format, QObject *parent = nullptr);
    ~VSettings() override;

    // group "ostrel"
    bool minimize_output_on_startup = true;
    bool log_output_to_file = false;
    bool check_for_updates_on_startup = false;
    QString windows_command_run;
    QString linux_command_run;

    // top level; nothing in the workbench consults these yet
    bool use_formal_syntax = false;
    bool save_formal_syntax = true;

    // Entry n is the template of particle format code n; entry 0 is null.
    QList<CFilePCF *> particleTemplates;

    bool saveLumpNameNotNumber = false; // "vbspinfo"

    // "vpakfile"
    bool scan_pak_vmts = true;
    bool scan_pak_mdls = false;
    bool scan_pak_phys = false;
    quint32 new_pakfile_extra_reserve = 0;

    // "vvbsp": one ":"-separated value each; shapes and labels alternate.
    QStringList detailorientations;
    QStringList spriteshapes;
    QStringList spriteshapeLabels;

    // Key lists with their parallel value lists.
    QStringList soundchars;
    QStringList soundcharValues;
    QStringList shaders;
    QStringList shaderTips;
    QStringList parameters;
    QStringList parameterTips;
    QStringList proxies;
    QStringList proxyTips;
    QList<QStringList> proxyParameters; // empty names kept

    QStringList contentdirectories;

    // "referencedcontent:...": each key with its own ":"-split value list.
    QStringList vmtmaterialkeys;
    QList<QStringList> vmtmaterialkeyValues;
    QStringList vmttexturekeys;
    QList<QStringList> vmttextureExceptions;
    QStringList studiokeys;
    QList<QStringList> studiokeyValues;
    QStringList materialkeys;
    QList<QStringList> materialkeyValues;
    QStringList spritekeys;
    QList<QStringList> spritekeyValues;
    QStringList soundkeys;
    QList<QStringList> soundkeyValues;
    QStringList scenekeys;
    QList<QStringList> scenekeyValues;
    QStringList particlekeys;
    QList<QStringList> particlekeyValues;

    QStringList specialkeys;
    QStringList specialkeyPaths;
    QStringList mapfiles; // "referencedcontent:bsp:files"
    QStringList mapfileKinds;

private:
    void readAll();
    void readPairs(const QString &group, QStringList &keys, QStringList &values);
    void readKeyLists(const QString &group, QStringList &keys, QList<QStringList> &lists);
    // Fills entries 1 to 3 of particleTemplates through the particle reader;
    // an entry whose resource fails to read stays null.
    void loadParticleTemplates();
};
