// The bulk conversion's preparation, walk and the per-file steps every
// conversion shares; the conversions themselves are in
// VTFMassConversions.cpp.

#include "VTFMassConverter.h"

#include "CFileVTF.h"
#include "CSaveFile.h"
#include "VTFErrors.h"
#include "VTFMassSink.h"
#include "functions.h"

#include <QDir>
#include <QFile>

namespace {
const QString TextureFormat = QStringLiteral("VTF");

// The folder as the file system names it, or its clean absolute path when it
// does not exist (yet).
QString resolvedDirectory(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}
} // namespace

VTFMassConverter::VTFMassConverter(const VTFMassOptions &options, VTFMassSink *sink)
    : m_options(options)
    , m_sink(sink)
{}

VTFMassConverter::~VTFMassConverter() = default;

bool VTFMassConverter::isTextureFormat(const QString &format)
{
    return format.compare(TextureFormat, Qt::CaseInsensitive) == 0;
}

quint32 VTFMassConverter::levelOfDetailWord(const std::array<quint8, 4> &values)
{
    // The window keeps PC X, X360 X, PC Y, X360 Y; the resource holds both PC
    // clamps first.
    return quint32(values[0]) | quint32(values[2]) << 8 | quint32(values[1]) << 16 |
           quint32(values[3]) << 24;
}

void VTFMassConverter::applyResource(CFileVTF &document, quint32 tag,
                                     const VTFMassResourceRule &rule, quint32 value)
{
    VTFResource *resource = document.findResource(tag);
    if (!rule.enabled) {
        if (resource)
            document.removeResource(tag);
        return;
    }
    if (resource) {
        if (rule.modify)
            resource->data = value;
    } else if (rule.modify == rule.all) {
        document.addResource(tag)->data = value;
    }
}

std::unique_ptr<CSaveFile> VTFMassConverter::newOutput(const QString &path) const
{
    return std::make_unique<CSaveFile>(path);
}

void VTFMassConverter::report(const char *text, const QString &name)
{
    if (!m_sink)
        return;
    const QString line = QString::fromLatin1(text);
    m_sink->log(name.isNull() ? line : line.arg(name));
}

void VTFMassConverter::reportSave(const CSaveFile &file, const char *text, const QString &output)
{
    if (m_sink)
        m_sink->log(file.failure(QString::fromLatin1(text).arg(quotedTarget(output))));
}

QString VTFMassConverter::quotedSource(const QString &path) const
{
    return QStringLiteral("\".../%1\"").arg(QDir(m_source).relativeFilePath(path));
}

QString VTFMassConverter::quotedTarget(const QString &path) const
{
    return QStringLiteral("\".../%1\"").arg(QDir(m_target).relativeFilePath(path));
}

bool VTFMassConverter::sameDirectory() const
{
    return !m_options.sourceDirectory.isEmpty() && !m_options.targetDirectory.isEmpty() &&
           resolvedDirectory(m_options.sourceDirectory) ==
               resolvedDirectory(m_options.targetDirectory);
}

bool VTFMassConverter::isSplitExport() const
{
    if (!isTextureFormat(m_options.sourceFormat) || isTextureFormat(m_options.targetFormat))
        return false;
    for (bool all : m_options.exportAll) {
        if (all)
            return true;
    }
    return false;
}

bool VTFMassConverter::run()
{
    if (!prepare())
        return false;
    walk();
    return true;
}

bool VTFMassConverter::prepare()
{
    const QString text = m_options.filterMode == VTFMassOptions::Substring
                             ? QStringLiteral("*%1*").arg(m_options.filterText)
                             : m_options.filterText;
    m_pattern.setPattern(m_options.filterMode == VTFMassOptions::RegEx
                             ? QRegularExpression::anchoredPattern(text)
                             : QRegularExpression::wildcardToRegularExpression(text));
    m_pattern.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
    if (!m_pattern.isValid()) {
        if (m_sink)
            m_sink->refuse(QString::fromLatin1(VTFMassText::InvalidFilter));
        return false;
    }
    const bool sourceTexture = isTextureFormat(m_options.sourceFormat);
    const bool targetTexture = isTextureFormat(m_options.targetFormat);
    if (!sourceTexture && !targetTexture)
        return false;
    const bool inPlace = sameDirectory();
    if (sourceTexture && targetTexture && inPlace && !m_options.overwrite) {
        if (m_sink)
            m_sink->refuse(QString::fromLatin1(VTFMassText::InPlaceNeedsOverwrite));
        return false;
    }

    const QFileInfo source(m_options.sourceDirectory);
    if (m_options.sourceDirectory.isEmpty() || !source.isDir() || !source.isReadable()) {
        report(VTFMassText::SourceNotReadable);
        return false;
    }
    m_source = QDir::cleanPath(source.absoluteFilePath());
    if (m_options.targetDirectory.isEmpty()) {
        report(VTFMassText::NoTarget);
        return false;
    }
    if (!makePath(m_options.targetDirectory)) {
        report(VTFMassText::TargetNotCreated);
        return false;
    }
    // One spelling for one folder, so that an output names its source
    // exactly when they are the same file.
    m_target = inPlace ? m_source
                       : QDir::cleanPath(QFileInfo(m_options.targetDirectory).absoluteFilePath());
    m_owners.clear();
    m_written.clear();
    return true;
}

QVector<QFileInfo> VTFMassConverter::listEntries() const
{
    const QDir::Filters filters = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks;
    // A target inside the source would otherwise be walked, outputs and all.
    const QString source = resolvedDirectory(m_source);
    const QString target = resolvedDirectory(m_target);
    const QString skipped = target.startsWith(source + QLatin1Char('/')) ? target : QString();

    struct Level
    {
        QFileInfoList entries;
        int next = 0;
    };
    QVector<QFileInfo> listed;
    QSet<QString> visited{source};
    QVector<Level> stack{{QDir(m_source).entryInfoList(filters, QDir::Unsorted), 0}};
    while (!stack.isEmpty()) {
        if (stack.last().next >= stack.last().entries.size()) {
            stack.removeLast();
            continue;
        }
        const QFileInfo entry = stack.last().entries.at(stack.last().next++);
        if (!entry.isDir()) {
            listed.append(entry);
            continue;
        }
        const QString canonical = entry.canonicalFilePath();
        if (canonical == skipped)
            continue;
        listed.append(entry);
        // A folder met twice (a bind mount of its parent) would never end.
        if (m_options.recursive && entry.isReadable() && !visited.contains(canonical)) {
            visited.insert(canonical);
            stack.append({QDir(entry.filePath()).entryInfoList(filters, QDir::Unsorted), 0});
        }
    }
    return listed;
}

void VTFMassConverter::walk()
{
    const QVector<QFileInfo> entries = listEntries();
    claimOutputs(entries);
    for (const QFileInfo &entry : entries) {
        if (m_sink && m_sink->stopRequested())
            return;
        if (entry.isDir())
            visitDirectory(entry);
        else
            convertFile(entry.filePath());
    }
}

void VTFMassConverter::visitDirectory(const QFileInfo &entry)
{
    if (!m_options.recursive || entry.baseName().isEmpty())
        return;
    if (!entry.isReadable()) {
        report(VTFMassText::DirectoryNotReadable, quotedSource(entry.filePath()));
        return;
    }
    // A folder that cannot be made shows up as the outputs that cannot be
    // written into it.
    if (m_options.preserveStructure)
        makePath(m_target + QLatin1Char('/') + QDir(m_source).relativeFilePath(entry.filePath()));
}

bool VTFMassConverter::matches(const QFileInfo &file) const
{
    return file.suffix().compare(m_options.sourceFormat, Qt::CaseInsensitive) == 0 &&
           m_pattern.match(file.completeBaseName()).hasMatch();
}

QString VTFMassConverter::outputDirectory(const QString &relativePath) const
{
    if (!m_options.recursive || !m_options.preserveStructure)
        return QString();
    const int slash = relativePath.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? relativePath.left(slash + 1) : QString();
}

QString VTFMassConverter::outputFor(const QString &relativePath) const
{
    return m_target + QLatin1Char('/') + outputDirectory(relativePath) +
           QFileInfo(relativePath).completeBaseName() + QLatin1Char('.') +
           m_options.targetFormat.toLower();
}

void VTFMassConverter::claimOutputs(const QVector<QFileInfo> &entries)
{
    if (isSplitExport())
        return;
    // A texture rewritten in place owns its own name, whatever comes first;
    // other outputs go to the first source that names them.
    QVector<QPair<QString, QString>> others;
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() || !matches(entry))
            continue;
        const QString output = outputFor(QDir(m_source).relativeFilePath(entry.filePath()));
        if (output == entry.filePath())
            m_owners.insert(output, output);
        else
            others.append({output, entry.filePath()});
    }
    for (const auto &other : qAsConst(others)) {
        if (!m_owners.contains(other.first))
            m_owners.insert(other.first, other.second);
    }
}

bool VTFMassConverter::outputTaken(const QString &output, const QString &source) const
{
    const auto owner = m_owners.constFind(output);
    return owner != m_owners.constEnd() && *owner != source;
}

void VTFMassConverter::convertFile(const QString &path)
{
    const QFileInfo info(path);
    if (!matches(info))
        return;
    const QString relativePath = QDir(m_source).relativeFilePath(path);
    m_current = path;
    if (m_sink)
        m_sink->setCurrent(QStringLiteral(".../") + relativePath);
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        report(VTFMassText::UnableToOpenSource, quotedSource(path));
        return;
    }
    QString output;
    if (!isSplitExport()) {
        output = outputFor(relativePath);
        if ((!m_options.overwrite && QFileInfo::exists(output)) || outputTaken(output, path)) {
            report(VTFMassText::DestinationExistsFor, quotedSource(path));
            return;
        }
    }
    const bool sourceTexture = isTextureFormat(m_options.sourceFormat);
    if (sourceTexture && isTextureFormat(m_options.targetFormat))
        textureToTexture(source, output);
    else if (sourceTexture)
        textureToImages(source, relativePath, output);
    else
        imageToTexture(source, output);
}
