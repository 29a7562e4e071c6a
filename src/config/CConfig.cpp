#include "CConfig.h"

#include "PCFTemplates.h"
#include "functions.h"

#include <QFile>
#include <QIODevice>

namespace {

const QString VersionPrefix = QStringLiteral("# ZEDIDAVURUR VERSION");

const QStringList TopSections = {QStringLiteral("general"),  QStringLiteral("soundchars"),
                                 QStringLiteral("shaders"),  QStringLiteral("parameters"),
                                 QStringLiteral("proxies"),  QStringLiteral("vbspinfo"),
                                 QStringLiteral("vpakfile"), QStringLiteral("vvbsp")};

const QStringList VpakfileSections = {QStringLiteral("contentdirectories"),
                                      QStringLiteral("vmtmaterialkeys"),
                                      QStringLiteral("vmttexturekeys"),
                                      QStringLiteral("studiokeys"),
                                      QStringLiteral("materialkeys"),
                                      QStringLiteral("spritekeys"),
                                      QStringLiteral("soundkeys"),
                                      QStringLiteral("scenekeys"),
                                      QStringLiteral("particlekeys"),
                                      QStringLiteral("specialkeys"),
                                      QStringLiteral("mapfiles")};

const QStringList VvbspSections = {QStringLiteral("detailorientations"),
                                   QStringLiteral("spriteshapes")};

bool parseBool(const QString &value)
{
    return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

// Splits at the first ":"; without one the key is the whole line.
bool splitAtColon(const QString &line, QString &key, QString &value)
{
    const int colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        key = line;
        value.clear();
        return false;
    }
    key = line.left(colon);
    value = line.mid(colon + 1);
    return true;
}

// Reads one configuration file. Sections nest at most two deep, so the
// recursion in readSection is bounded by the grammar, not by the input.
class Parser
{
public:
    Parser(QIODevice *device, CConfig &config)
        : m_device(device)
        , m_config(config)
    {}

    void run()
    {
        QString line;
        while (next(line)) {
            const QString text = trimmedAscii(line);
            if (text.isEmpty())
                continue;
            if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) {
                const QString name = text.mid(1, text.size() - 2);
                if (TopSections.contains(name))
                    readSection(name);
                continue;
            }
            if (text.startsWith(VersionPrefix, Qt::CaseInsensitive)) {
                bool ok = false;
                const uint version = trimmedAscii(text.mid(VersionPrefix.size())).toUInt(&ok);
                m_config.version = ok ? version : 0;
            }
        }
    }

private:
    bool next(QString &line)
    {
        QByteArray raw = m_device->readLine();
        if (raw.isEmpty())
            return false;
        if (m_first) {
            m_first = false;
            if (raw.startsWith("\xEF\xBB\xBF"))
                raw.remove(0, 3);
        }
        if (raw.endsWith('\n'))
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        line = QString::fromLocal8Bit(raw);
        return true;
    }

    // Content lines are taken untrimmed up to the exact closer or the end of
    // the file; the last line of the file counts like any other.
    void readSection(const QString &name)
    {
        const QString closer = QLatin1String("[/") + name + QLatin1Char(']');
        const bool hashIsComment = name != QLatin1String("soundchars");
        QString line;
        while (next(line)) {
            if (line == closer)
                return;
            if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
                continue;
            if (hashIsComment && line.startsWith(QLatin1Char('#')))
                continue;
            content(name, line);
        }
    }

    // A nested opener is the whole, untrimmed line, e.g. "[studiokeys]".
    bool openNested(const QStringList &children, const QString &line)
    {
        if (line.size() < 3 || !line.startsWith(QLatin1Char('[')) ||
            !line.endsWith(QLatin1Char(']')))
            return false;
        const QString name = line.mid(1, line.size() - 2);
        if (!children.contains(name))
            return false;
        readSection(name);
        return true;
    }

    static void pair(const QString &line, QStringList &keys, QStringList &values)
    {
        QString key, value;
        if (splitAtColon(line, key, value)) {
            keys << key;
            values << value;
        } else {
            keys << line;
            values << line;
        }
    }

    void content(const QString &section, const QString &line);
    void general(const QString &line);
    void proxy(const QString &line);
    void textureKey(const QString &line);

    QIODevice *m_device;
    CConfig &m_config;
    bool m_first = true;
};

// Sections whose every line is one list entry, and sections of key:value
// pairs where a bare line goes whole into both lists.
struct ListSection
{
    const char *name;
    QStringList CConfig::*list;
};
const ListSection LineSections[] = {
    {"contentdirectories", &CConfig::contentdirectories},
    {"vmtmaterialkeys", &CConfig::vmtmaterialkeys},
    {"studiokeys", &CConfig::studiokeys},
    {"materialkeys", &CConfig::materialkeys},
    {"spritekeys", &CConfig::spritekeys},
    {"soundkeys", &CConfig::soundkeys},
    {"scenekeys", &CConfig::scenekeys},
    {"particlekeys", &CConfig::particlekeys},
    {"detailorientations", &CConfig::detailorientations},
};
struct PairSection
{
    const char *name;
    QStringList CConfig::*keys;
    QStringList CConfig::*values;
};
const PairSection PairSections[] = {
    {"soundchars", &CConfig::soundchars, &CConfig::soundcharValues},
    {"shaders", &CConfig::shaders, &CConfig::shaderTips},
    {"parameters", &CConfig::parameters, &CConfig::parameterTips},
    {"bsplumps", &CConfig::bsplumps, &CConfig::bsplumpValues},
};

void Parser::content(const QString &section, const QString &line)
{
    CConfig &c = m_config;
    for (const ListSection &s : LineSections) {
        if (section == QLatin1String(s.name)) {
            (c.*s.list) << line;
            return;
        }
    }
    for (const PairSection &s : PairSections) {
        if (section == QLatin1String(s.name)) {
            pair(line, c.*s.keys, c.*s.values);
            return;
        }
    }

    QString key, value;
    const bool hasColon = splitAtColon(line, key, value);
    if (section == QLatin1String("general")) {
        general(line);
    } else if (section == QLatin1String("proxies")) {
        proxy(line);
    } else if (section == QLatin1String("vbspinfo")) {
        if (hasColon) {
            if (key == QLatin1String("saveLumpNameNotNumber"))
                c.saveLumpNameNotNumber = parseBool(value);
        } else {
            openNested({QStringLiteral("bsplumps")}, line);
        }
    } else if (section == QLatin1String("vpakfile")) {
        if (!hasColon) {
            openNested(VpakfileSections, line);
        } else if (key == QLatin1String("scan_pak_vmts")) {
            c.scan_pak_vmts = parseBool(value);
        } else if (key == QLatin1String("scan_pak_mdls")) {
            c.scan_pak_mdls = parseBool(value);
        } else if (key == QLatin1String("scan_pak_phys")) {
            c.scan_pak_phys = parseBool(value);
        } else if (key == QLatin1String("new_pakfile_extra_reserve")) {
            bool ok = false;
            const int reserve = value.toInt(&ok);
            c.new_pakfile_extra_reserve = ok ? reserve : 0;
        }
    } else if (section == QLatin1String("vmttexturekeys")) {
        textureKey(line);
    } else if (section == QLatin1String("specialkeys")) {
        c.specialkeys << key;
        c.specialkeyPaths << (hasColon ? value : QStringLiteral("/*"));
    } else if (section == QLatin1String("mapfiles")) {
        c.mapfiles << key;
        c.mapfileKinds << (hasColon ? value : QStringLiteral("Other"));
    } else if (section == QLatin1String("vvbsp")) {
        openNested(VvbspSections, line);
    } else if (section == QLatin1String("spriteshapes")) {
        c.spriteshapes << key.toLower();
        c.spriteshapeLabels << value;
    }
}

void Parser::general(const QString &line)
{
    QString key, value;
    if (!splitAtColon(line, key, value))
        return;
    CConfig &c = m_config;
    if (key == QLatin1String("minimize_output_on_startup"))
        c.minimize_output_on_startup = parseBool(value);
    else if (key == QLatin1String("log_output_to_file"))
        c.log_output_to_file = parseBool(value);
    else if (key == QLatin1String("check_for_updates_on_startup"))
        c.check_for_updates_on_startup = parseBool(value);
    else if (key == QLatin1String("windows_command_run"))
        c.windows_command_run = value;
    else if (key == QLatin1String("linux_command_run"))
        c.linux_command_run = value;
}

// name, name:tip or name:tip:parameters; the parameters keep their colons and
// a "\" in the tip stands for a line break.
void Parser::proxy(const QString &line)
{
    CConfig &c = m_config;
    const int a = line.indexOf(QLatin1Char(':'));
    if (a < 0) {
        c.proxies << line;
        c.proxyTips << line;
        c.proxyParameters << QString();
        return;
    }
    const int b = line.indexOf(QLatin1Char(':'), a + 1);
    QString tip = b < 0 ? line.mid(a + 1) : line.mid(a + 1, b - a - 1);
    tip.replace(QLatin1Char('\\'), QLatin1Char('\n'));
    c.proxies << line.left(a);
    c.proxyTips << tip;
    c.proxyParameters << (b < 0 ? QString() : line.mid(b + 1));
}

// key or key:exception:exception...; empty exceptions are dropped.
void Parser::textureKey(const QString &line)
{
    CConfig &c = m_config;
    QString key, value;
    if (!splitAtColon(line, key, value)) {
        c.vmttexturekeys << line;
        c.vmttextureExceptions << nullptr;
        return;
    }
    c.vmttexturekeys << key;
    c.vmttextureExceptions << new QStringList(value.split(QLatin1Char(':'), Qt::SkipEmptyParts));
}

} // namespace

CConfig *CConfig::instance()
{
    // Built once, behind the function-local static's initialisation guard, and
    // kept for the rest of the run.
    static CConfig *const config = [] {
        auto *created = new CConfig;
        created->load();
        return created;
    }();
    return config;
}

CConfig::CConfig()
{
    reset();
}

CConfig::~CConfig()
{
    qDeleteAll(vmttextureExceptions);
    PCFTemplates::release(particleTemplates);
}

bool CConfig::load()
{
    return load(QString::fromLatin1(FileName));
}

bool CConfig::load(const QString &path)
{
    // Opened by the device reader, read-only: the program never writes its
    // configuration, so a write-protected file is read like any other.
    QFile file(path);
    return load(&file);
}

bool CConfig::load(QIODevice *device)
{
    reset();
    bool opened = false;
    bool ok = false;
    if (device) {
        if (device->isOpen()) {
            ok = device->isReadable();
        } else {
            ok = opened = device->open(QIODevice::ReadOnly | QIODevice::Text);
        }
    }
    if (ok)
        parse(device);
    if (opened)
        device->close();
    loadParticleTemplates();
    return ok;
}

void CConfig::reset()
{
    minimize_output_on_startup = true;
    log_output_to_file = false;
    check_for_updates_on_startup = false;
    windows_command_run = QStringLiteral("start *");
    linux_command_run = QStringLiteral("xdg-open *");

    shaders.clear();
    shaderTips.clear();
    parameters.clear();
    parameterTips.clear();
    proxies.clear();
    proxyTips.clear();
    proxyParameters.clear();

    soundchars.clear();
    soundcharValues.clear();

    bsplumps.clear();
    bsplumpValues.clear();
    saveLumpNameNotNumber = false;

    scan_pak_vmts = false;
    scan_pak_mdls = false;
    scan_pak_phys = false;
    new_pakfile_extra_reserve = 0;
    contentdirectories.clear();
    vmtmaterialkeys.clear();
    vmttexturekeys.clear();
    qDeleteAll(vmttextureExceptions);
    vmttextureExceptions.clear();
    studiokeys.clear();
    materialkeys.clear();
    spritekeys.clear();
    soundkeys.clear();
    scenekeys.clear();
    particlekeys.clear();
    specialkeys.clear();
    specialkeyPaths.clear();
    mapfiles.clear();
    mapfileKinds.clear();

    detailorientations.clear();
    spriteshapes.clear();
    spriteshapeLabels.clear();

    version = 0;
}

void CConfig::parse(QIODevice *device)
{
    Parser(device, *this).run();
}

void CConfig::loadParticleTemplates()
{
    // Entry 0 stays null; an entry whose resource fails to read is null.
    PCFTemplates::reload(particleTemplates);
    PCFTemplates::reloadKept(particleKept);
}
