#include "VSettings.h"

#include "PCFTemplates.h"

namespace {

// QSettings reads an unquoted INI value that holds a comma as a list; these
// values are plain text, so the list is joined back rather than lost.
QString textValue(const QSettings &settings, const QString &key,
                  const QString &defaultValue = QString())
{
    const QVariant value = settings.value(key, defaultValue);
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QLatin1String(", "));
    return value.toString();
}

} // namespace

VSettings *VSettings::instance()
{
    static VSettings *const settings =
        new VSettings(QString::fromLatin1(FileName), QSettings::IniFormat);
    return settings;
}

VSettings::VSettings(const QString &fileName, QSettings::Format format, QObject *parent)
    : QSettings(fileName, format, parent)
{
    readAll();
}

VSettings::~VSettings()
{
    PCFTemplates::release(particleTemplates);
}

void VSettings::readAll()
{
    sync();

    beginGroup(QStringLiteral("ostrel"));
    minimize_output_on_startup = value(QStringLiteral("minimize_output_on_startup"), true).toBool();
    log_output_to_file = value(QStringLiteral("log_output_to_file"), false).toBool();
    check_for_updates_on_startup =
        value(QStringLiteral("check_for_updates_on_start"), false).toBool();
    windows_command_run =
        textValue(*this, QStringLiteral("windows_command_run"), QStringLiteral("start *"));
    linux_command_run =
        textValue(*this, QStringLiteral("linux_command_run"), QStringLiteral("xdg-open *"));
    endGroup();

    beginGroup(QStringLiteral("vbspinfo"));
    saveLumpNameNotNumber = value(QStringLiteral("save_lump_name_not_number"), false).toBool();
    endGroup();

    beginGroup(QStringLiteral("vpakfile"));
    scan_pak_vmts = value(QStringLiteral("scanPakVMTs"), true).toBool();
    scan_pak_mdls = value(QStringLiteral("scanPakMDLs"), false).toBool();
    scan_pak_phys = value(QStringLiteral("scanPakPHYs"), false).toBool();
    new_pakfile_extra_reserve = value(QStringLiteral("new_pakfile_extra_reserve"), 0u).toUInt();
    endGroup();

    loadParticleTemplates();

    use_formal_syntax = value(QStringLiteral("use_formal_syntax"), false).toBool();
    save_formal_syntax = value(QStringLiteral("save_formal_syntax"), true).toBool();

    readPairs(QStringLiteral("soundchars"), soundchars, soundcharValues);

    beginGroup(QStringLiteral("vvbsp"));
    detailorientations = textValue(*this, QStringLiteral("detail_orientations"))
                             .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QStringList shapes = textValue(*this, QStringLiteral("sprite_shapes"))
                             .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (shapes.size() % 2 != 0)
        shapes.removeLast();
    spriteshapes.clear();
    spriteshapeLabels.clear();
    for (int i = 0; i + 1 < shapes.size(); i += 2) {
        spriteshapes << shapes.at(i);
        spriteshapeLabels << shapes.at(i + 1);
    }
    endGroup();

    readPairs(QStringLiteral("vmt:shaders"), shaders, shaderTips);
    readPairs(QStringLiteral("vmt:parameters"), parameters, parameterTips);

    beginGroup(QStringLiteral("vmt:proxies"));
    proxies = childKeys();
    proxyTips.clear();
    proxyParameters.clear();
    for (const QString &key : qAsConst(proxies)) {
        QStringList parts = textValue(*this, key).split(QLatin1Char(':'));
        proxyTips << (parts.isEmpty() ? QString() : parts.takeFirst());
        proxyParameters << parts;
    }
    endGroup();

    beginGroup(QStringLiteral("contentdirectories"));
    contentdirectories = childKeys();
    endGroup();

    readKeyLists(QStringLiteral("referencedcontent:vmt:materialkeys"), vmtmaterialkeys,
                 vmtmaterialkeyValues);
    readKeyLists(QStringLiteral("referencedcontent:vmt:texturekeys"), vmttexturekeys,
                 vmttextureExceptions);
    readKeyLists(QStringLiteral("referencedcontent:entity:studiokeys"), studiokeys,
                 studiokeyValues);
    readKeyLists(QStringLiteral("referencedcontent:entity:materialkeys"), materialkeys,
                 materialkeyValues);
    readKeyLists(QStringLiteral("referencedcontent:entity:spritekeys"), spritekeys,
                 spritekeyValues);
    readKeyLists(QStringLiteral("referencedcontent:entity:soundkeys"), soundkeys, soundkeyValues);
    readKeyLists(QStringLiteral("referencedcontent:entity:scenekeys"), scenekeys, scenekeyValues);
    readKeyLists(QStringLiteral("referencedcontent:entity:particlekeys"), particlekeys,
                 particlekeyValues);

    readPairs(QStringLiteral("referencedcontent:entity:specialkeys"), specialkeys, specialkeyPaths);
    readPairs(QStringLiteral("referencedcontent:bsp:files"), mapfiles, mapfileKinds);
}

void VSettings::readPairs(const QString &group, QStringList &keys, QStringList &values)
{
    beginGroup(group);
    keys = childKeys();
    values.clear();
    for (const QString &key : qAsConst(keys))
        values << textValue(*this, key);
    endGroup();
}

void VSettings::readKeyLists(const QString &group, QStringList &keys, QList<QStringList> &lists)
{
    beginGroup(group);
    keys = childKeys();
    lists.clear();
    for (const QString &key : qAsConst(keys))
        lists << textValue(*this, key).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    endGroup();
}

void VSettings::loadParticleTemplates()
{
    // Entry 0 stays null; an entry whose resource fails to read is null.
    PCFTemplates::reload(particleTemplates);
}
