#pragma once

#include "PCFKeptList.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

class CFilePCF;
class QIODevice;

// The workbench's switches and vocabularies, read once from the hand-edited
// "zedidavurur.ini" in the working directory and then read in place by every
// tool. The program never writes that file.
//
// File grammar, in short: at top level lines are trimmed and only section
// openers ("[general]", "[soundchars]", "[shaders]", "[parameters]",
// "[proxies]", "[vbspinfo]", "[vpakfile]", "[vvbsp]") and the line
// "# ZEDIDAVURUR VERSION n" mean anything. Inside a section lines are taken
// untrimmed up to the exact closer ("[/shaders]"); ";" starts a comment line,
// and so does "#" except in [soundchars]; a line splits at its first ":".
// [vbspinfo], [vpakfile] and [vvbsp] hold nested sections opened by a bare
// line such as "[studiokeys]" and closed by "[/studiokeys]".
//
// Lists filled from one section are parallel: entry n of `shaders` and of
// `shaderTips` come from the same line. All lists keep the file's order.
class CConfig
{
public:
    static constexpr const char *FileName = "zedidavurur.ini";

    // The one process-wide object, built and loaded from FileName in the
    // working directory on the first call.
    static CConfig *instance();

    // Defaults only; nothing is read. Tests and instance() load explicitly.
    CConfig();
    ~CConfig();
    CConfig(const CConfig &) = delete;
    CConfig &operator=(const CConfig &) = delete;

    // Resets every member to its default and reads the configuration from
    // FileName in the working directory, a given path, or a device (opened
    // read-only in text mode when it is not open yet; read from its current
    // position otherwise). False when the file cannot be opened; the members
    // then keep their defaults. The particle templates load either way.
    bool load();
    bool load(const QString &path);
    bool load(QIODevice *device);

    // [general]
    bool minimize_output_on_startup = true;
    bool log_output_to_file = false;
    bool check_for_updates_on_startup = false;
    // Read from older files but used by nothing: entries open with the
    // desktop's associated application (CDesktopFile), so the shipped file
    // no longer carries them.
    QString windows_command_run;
    QString linux_command_run;

    // Material editor vocabularies. A proxy's parameters are one string with
    // ":" between the names; a "\" in a proxy tip has become a line break.
    QStringList shaders;
    QStringList shaderTips;
    QStringList parameters;
    QStringList parameterTips;
    QStringList proxies;
    QStringList proxyTips;
    QStringList proxyParameters;

    // Entry n is the template document of particle format code n (1 to 3);
    // entry 0 is always null, and so is an entry whose template failed to load.
    QList<CFilePCF *> particleTemplates;
    // Entry n says what real files of format code n carry beyond its
    // template, which a conversion to it keeps; entry 0 is empty, and so is
    // an entry whose list failed to load.
    QVector<PCFKeptList> particleKept;

    // Characters that may prefix a sound name (first character of each key).
    QStringList soundchars;
    QStringList soundcharValues;

    // [vbspinfo]
    QStringList bsplumps;
    QStringList bsplumpValues;
    bool saveLumpNameNotNumber = false;

    // [vpakfile]
    bool scan_pak_vmts = false;
    bool scan_pak_mdls = false;
    bool scan_pak_phys = false;
    qint32 new_pakfile_extra_reserve = 0;
    QStringList contentdirectories;
    QStringList vmtmaterialkeys;
    QStringList vmttexturekeys;
    // Per texture key, the values that name no file; null where the key's line
    // had no ":" at all. Owned.
    QList<QStringList *> vmttextureExceptions;
    QStringList studiokeys;
    QStringList materialkeys;
    QStringList spritekeys;
    QStringList soundkeys;
    QStringList scenekeys;
    QStringList particlekeys;
    QStringList specialkeys;
    QStringList specialkeyPaths; // "*" stands for the key's value
    QStringList mapfiles;        // "*" stands for the map's name
    QStringList mapfileKinds;

    // [vvbsp]: an orientation's position in the list is its stored value.
    QStringList detailorientations;
    QStringList spriteshapes; // lower-cased
    QStringList spriteshapeLabels;

    quint32 version = 0;

private:
    void reset();
    void parse(QIODevice *device);
    // Fills entries 1 to 3 of particleTemplates through the particle reader,
    // and of particleKept; an entry whose resource fails to read stays null
    // (empty).
    void loadParticleTemplates();
};
