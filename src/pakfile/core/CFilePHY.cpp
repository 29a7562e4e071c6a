#include "CFilePHY.h"

#include "CFileMDL.h"
#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "PakfileErrors.h"
#include "ScanPath.h"
#include "functions.h"

#include <QIODevice>

namespace {

namespace PHYLayout {
constexpr qint64 HeaderSize = 16;
constexpr qint64 LengthSize = 4;
} // namespace PHYLayout

const QByteArray BreakOpener("break {");
const QString BreakName = QStringLiteral("break");
const QString ModelKey = QStringLiteral("model");
const QString RagdollKey = QStringLiteral("ragdoll");
const QString ModelsPrefix = QStringLiteral("/models/");
const QString ModelSuffix = QStringLiteral(".mdl");
// A one-line break block needs something between "break {" and "}".
constexpr int ShortestBreakLine = 8;

// Bytes left on the device after its position (loaders read files and
// buffers, both random-access).
qint64 remainingOn(QIODevice *device)
{
    return qMax<qint64>(0, device->bytesAvailable());
}

// Reads a 32-bit word; a stream cut short gives 0, as a short header is
// tolerated.
qint32 readWord(QDataStream &stream)
{
    qint32 value = 0;
    stream >> value;
    if (stream.status() != QDataStream::Ok) {
        stream.resetStatus();
        return 0;
    }
    return value;
}

bool isCloseOfBlock(const QPair<QString, QString> &pair)
{
    return pair.first == QLatin1String("}") && pair.second.isEmpty();
}

QByteArray quoted(const QString &text)
{
    return '"' + text.toLatin1() + '"';
}

} // namespace

CFilePHY::CFilePHY() = default;

CFilePHY::~CFilePHY() = default;

bool CFilePHY::read(QDataStream &stream)
{
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    QIODevice *device = stream.device();
    solids.clear();
    textBlocks.clear();
    if (!device) {
        m_error = QString::fromLatin1(PakfileError::Incomplete);
        return false;
    }

    headerWord1 = readWord(stream);
    headerWord2 = readWord(stream);
    solidCount = readWord(stream);
    headerWord4 = readWord(stream);

    // Every solid takes at least its length word: a count beyond that cannot
    // be there, whatever the file claims.
    if (solidCount < 0 || solidCount > remainingOn(device) / PHYLayout::LengthSize) {
        m_error = QString::fromLatin1(PakfileError::Incomplete);
        return false;
    }
    solids.reserve(solidCount);
    for (qint32 i = 0; i < solidCount; ++i) {
        const qint32 length = readWord(stream);
        if (length < 0 || length > remainingOn(device)) {
            m_error = QString::fromLatin1(PakfileError::Incomplete);
            solids.clear();
            return false;
        }
        QByteArray solid(length, Qt::Uninitialized);
        if (length > 0 && stream.readRawData(solid.data(), length) != length) {
            m_error = QString::fromLatin1(PakfileError::Incomplete);
            solids.clear();
            return false;
        }
        solids.append(solid);
    }

    // The text runs to the first NUL or the end. A section beyond any real
    // size is cut rather than held whole.
    QByteArray text = device->read(qMin(remainingOn(device), MaxScriptBytes));
    const int nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    parseText(text);
    return true;
}

void CFilePHY::parseText(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        if (line.endsWith('{')) {
            PHYTextBlock block;
            QByteArray name = line.left(line.size() - 1).trimmed();
            const int nul = name.indexOf('\0');
            if (nul >= 0)
                name.truncate(nul);
            block.name = QString::fromLatin1(name);
            textBlocks.append(block);
            continue;
        }
        if (line.startsWith(BreakOpener) && line.endsWith('}')) {
            if (line.size() <= ShortestBreakLine)
                continue;
            const QByteArray body =
                line.mid(BreakOpener.size(), line.size() - 1 - BreakOpener.size()).trimmed();
            QStringList tokens = tokenizeKeyValueLine(QString::fromLatin1(body));
            if (tokens.size() % 2)
                tokens.removeLast();
            if (tokens.isEmpty())
                continue;
            PHYTextBlock block;
            block.name = BreakName;
            for (int i = 0; i + 1 < tokens.size(); i += 2)
                block.pairs.append({tokens.at(i), tokens.at(i + 1)});
            textBlocks.append(block);
            continue;
        }
        // The closing "}" becomes a pair too, and lines after a closed block
        // join it: the grammar keeps no nesting.
        if (textBlocks.isEmpty())
            continue;
        QString key, value, comment;
        parseKeyValue(QString::fromLatin1(line), key, value, comment);
        textBlocks.last().pairs.append({key, value});
    }
}

bool CFilePHY::write(QDataStream &stream)
{
    QIODevice *device = stream.device();
    if (!device) {
        m_error = QString::fromLatin1(PakfileError::DeviceNotValid);
        return false;
    }
    if (!device->isOpen() && !device->open(QIODevice::WriteOnly)) {
        m_error = QString::fromLatin1(PakfileError::DeviceNotOpen);
        return false;
    }
    if (!device->isWritable()) {
        m_error = QString::fromLatin1(PakfileError::DeviceNotWriteable);
        return false;
    }
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);

    stream << headerWord1 << headerWord2 << qint32(solids.size()) << headerWord4;
    for (const QByteArray &solid : solids) {
        stream << qint32(solid.size());
        stream.writeRawData(solid.constData(), solid.size());
    }

    QByteArray text;
    for (const PHYTextBlock &block : textBlocks) {
        const bool closed = !block.pairs.isEmpty() && isCloseOfBlock(block.pairs.last());
        if (block.name == BreakName && !block.pairs.isEmpty() && !closed) {
            // A break block read from one line goes back onto one line.
            text += BreakOpener;
            for (const auto &pair : block.pairs)
                text += ' ' + quoted(pair.first) + ' ' + quoted(pair.second);
            text += " }\n";
            continue;
        }
        text += block.name.toLatin1() + " {\n";
        // The pair the reader made of the closing line is written as that line.
        const int count = closed ? block.pairs.size() - 1 : block.pairs.size();
        for (int i = 0; i < count; ++i) {
            const auto &pair = block.pairs.at(i);
            text += quoted(pair.first) + ' ' + quoted(pair.second) + '\n';
        }
        text += "}\n";
    }
    text += '\0';
    stream.writeRawData(text.constData(), text.size());
    return true;
}

void CFilePHY::scanDependencies(CScanFoundList &found, const MaterialKeys &keys,
                                const QString &baseDirectory, QStringList *errors) const
{
    for (const PHYTextBlock &block : textBlocks) {
        if (block.name != BreakName)
            continue;
        for (const auto &pair : block.pairs) {
            if (pair.first != ModelKey && pair.first != RagdollKey)
                continue;
            QString path = ModelsPrefix + pair.second;
            // Case-sensitive on purpose: the file's own spelling decides.
            if (!path.endsWith(ModelSuffix))
                path += ModelSuffix;
            const QString entry =
                ScanPath::admit(ScanPath::collapsed(path), found, baseDirectory, errors);
            if (entry.isNull() || !found.add(entry))
                continue;
            // A gib that is not on disk is listed without a report.
            if (ScanPath::isFileBelow(baseDirectory, entry))
                CFileMDL::followModel(entry, found, keys, baseDirectory, errors);
        }
    }
}
