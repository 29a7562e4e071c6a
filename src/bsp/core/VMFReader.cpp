#include "VMFReader.h"

#include "BspErrors.h"
#include "functions.h"

#include <QBuffer>
#include <QIODevice>
#include <QSet>
#include <QStringList>

#include <limits>

namespace {

// The line in hand: its key as read and in lower case, and its value, which
// is null when the line had none (a block header, "{" or "}") and empty but
// present for "".
class VMFLineSource
{
public:
    // end < 0: read to the device's end.
    VMFLineSource(QIODevice *device, qint64 end)
        : m_device(device)
        , m_end(end)
    {}

    void next()
    {
        if (m_pending) {
            m_pending = false;
            return;
        }
        // A quoted text is a key or value whatever it starts with.
        parseKeyValue(readLine(m_device), key, value, QuotedSlashes::Text);
        lowerKey = key.toLower();
    }
    // The line in hand comes again from the next next().
    void unread() { m_pending = true; }
    // Every loop stops here, so a text that ends inside a block ends the read.
    bool finished() const
    {
        return !m_pending && (m_device->atEnd() || (m_end >= 0 && m_device->pos() >= m_end));
    }
    bool isClose() const { return key == "}"; }
    bool hasValue() const { return !value.isNull(); }
    bool hasText() const { return !value.isEmpty(); }
    // A block header: the word alone on its line, in any case.
    bool isHeader(const char *word) const { return value.isNull() && lowerKey == word; }
    bool is(const char *word) const { return lowerKey == word; }
    // Any block header: a word alone on its line other than a brace.
    bool isBlockName() const
    {
        return value.isNull() && !key.isEmpty() && key != "{" && key != "}";
    }
    // At a block header: reads the block whole, nested blocks included, and
    // notes its name. When the next line is no "{", there is no block to
    // skip and that line comes again.
    void skipBlock()
    {
        const QByteArray name = key;
        const QByteArray lowerName = lowerKey;
        if (finished())
            return;
        next();
        if (key != "{") {
            unread();
            return;
        }
        int depth = 1;
        while (depth > 0 && !finished()) {
            next();
            if (key == "{")
                ++depth;
            else if (isClose())
                --depth;
        }
        ++skipped.count;
        if (!m_seen.contains(lowerName)) {
            m_seen.insert(lowerName);
            if (skipped.names.size() < VMFSkippedBlocks::MaxNames)
                skipped.names.append(name);
            else
                skipped.moreNames = true;
        }
    }
    // Reads the next line of the block in hand: false at the block's "}"
    // (read) or at the end of the text.
    bool nextInBlock()
    {
        if (finished())
            return false;
        next();
        return !isClose();
    }

    QByteArray key;
    QByteArray lowerKey;
    QByteArray value;
    VMFSkippedBlocks skipped;

private:
    QIODevice *m_device;
    qint64 m_end;
    bool m_pending = false;
    QSet<QByteArray> m_seen;
};

// Numbers and flags as the map editor writes them; a value that does not
// parse leaves the field as it was.
bool flagNotZero(const QByteArray &value)
{
    return value.isEmpty() || value.at(0) != '0';
}

bool flagOne(const QByteArray &value)
{
    return !value.isEmpty() && value.at(0) == '1';
}

template <typename T>
bool setUnsigned(const QByteArray &value, T &field)
{
    bool ok = false;
    const quint32 number = value.toUInt(&ok);
    if (ok)
        field = T(number);
    return ok;
}

// The active camera is the one signed field, written as "-1" when there is
// none: read as a signed number, so that what is written reads back.
bool setSigned(const QByteArray &value, qint16 &field)
{
    bool ok = false;
    const qint32 number = value.toInt(&ok);
    if (ok)
        field = qint16(number);
    return ok;
}

void readEditorBlock(VMFLineSource &in, VMFEditor &editor)
{
    in.next(); // "{"
    while (in.nextInBlock()) {
        if (!in.hasValue()) {
            if (in.isBlockName())
                in.skipBlock();
            continue;
        }
        // The editor block's keys count only as the map editor spells them.
        const QByteArray &key = in.key;
        if (key == "color") {
            editor.color = in.value;
        } else if (key == "comments") {
            editor.comments = in.value;
        } else if (key == "logicalpos") {
            editor.logicalpos = in.value;
        } else if (key == "visgroupshown") {
            editor.visgroupshown = flagNotZero(in.value);
        } else if (key == "visgroupautoshown") {
            editor.visgroupautoshown = flagNotZero(in.value);
        } else if (key == "groupid") {
            setUnsigned(in.value, editor.groupid);
        } else if (key == "visgroupid") {
            quint32 id = 0;
            if (setUnsigned(in.value, id))
                editor.visgroupids.append(id);
        }
    }
}

void readVisgroupBlock(VMFLineSource &in, VMFVisgroup &group, int depth)
{
    in.next(); // "{"
    while (in.nextInBlock()) {
        if (in.isHeader("visgroup")) {
            if (depth >= VMFReaderLimits::MaxVisgroupDepth) {
                in.skipBlock();
                continue;
            }
            group.children.append(VMFVisgroup());
            readVisgroupBlock(in, group.children.last(), depth + 1);
        } else if (!in.hasValue()) {
            if (in.isBlockName())
                in.skipBlock();
            continue;
        } else if (in.is("name")) {
            group.name = in.value;
        } else if (in.is("visgroupid")) {
            setUnsigned(in.value, group.visgroupid);
        } else if (in.is("color")) {
            group.color = in.value;
        }
    }
}

void readRows(VMFLineSource &in, VMFDispInfo::Rows &rows)
{
    while (in.nextInBlock()) {
        // Rows stay in reading order; their numbers are not looked at.
        if (in.hasValue()) {
            if (rows.isEmpty())
                rows.reserve(VMFDispInfo::TypicalRows);
            rows.append(in.value);
        } else if (in.isBlockName()) {
            in.skipBlock();
        }
    }
}

void readDisplacement(VMFLineSource &in, VMFDispInfo &disp)
{
    while (in.nextInBlock()) {
        if (!in.hasValue()) {
            if (in.is("allowed_verts")) {
                // The last line stays.
                while (in.nextInBlock()) {
                    if (in.hasValue())
                        disp.allowed_verts = in.value;
                    else if (in.isBlockName())
                        in.skipBlock();
                }
                continue;
            }
            bool known = false;
            for (const VMFDispInfo::RowList &list : VMFDispInfo::rowLists()) {
                if (in.is(list.name)) {
                    readRows(in, disp.*list.rows);
                    known = true;
                    break;
                }
            }
            if (!known && in.isBlockName())
                in.skipBlock();
            continue;
        }
        if (in.is("startposition")) {
            disp.startposition = in.value;
        } else if (in.is("subdiv")) {
            disp.subdiv = flagOne(in.value);
        } else if (in.is("elevation")) {
            bool ok = false;
            const float elevation = in.value.toFloat(&ok);
            if (ok)
                disp.elevation = elevation;
        } else if (in.is("power")) {
            setUnsigned(in.value, disp.power);
        } else if (in.is("flags")) {
            setUnsigned(in.value, disp.flags);
        }
    }
}

void readSide(VMFLineSource &in, VMFSide &side)
{
    while (in.nextInBlock()) {
        if (!in.hasValue()) {
            if (in.is("dispinfo"))
                readDisplacement(in, side.displacement.create());
            else if (in.isBlockName())
                in.skipBlock();
            continue;
        }
        if (in.is("plane")) {
            side.plane = in.value;
        } else if (in.is("material")) {
            side.material = in.value;
        } else if (in.is("uaxis")) {
            side.uaxis = in.value;
        } else if (in.is("vaxis")) {
            side.vaxis = in.value;
        } else if (in.is("rotation")) {
            bool ok = false;
            const int rotation = in.value.toInt(&ok);
            if (ok)
                side.rotation = qint16(rotation);
        } else if (in.is("id")) {
            setUnsigned(in.value, side.id);
        } else if (in.is("lightmapscale")) {
            setUnsigned(in.value, side.lightmapscale);
        } else if (in.is("smoothing_groups")) {
            setUnsigned(in.value, side.smoothing_groups);
        }
    }
}

void readSolid(VMFLineSource &in, VMFSolid &solid)
{
    while (in.nextInBlock()) {
        if (in.isHeader("side")) {
            solid.sides.append(VMFSide());
            readSide(in, solid.sides.last());
        } else if (in.isHeader("editor")) {
            readEditorBlock(in, solid.editor);
        } else if (in.isBlockName()) {
            in.skipBlock();
        } else if (in.hasValue() && in.is("id")) {
            setUnsigned(in.value, solid.id);
        }
    }
}

void readGroup(VMFLineSource &in, VMFGroup &group)
{
    // The group's keys and those of its editor block are read as one.
    int depth = 0;
    while (!in.finished()) {
        in.next();
        if (in.key == "{") {
            ++depth;
            continue;
        }
        if (in.isClose()) {
            if (--depth <= 0)
                return;
            continue;
        }
        if (!in.hasValue()) {
            if (!in.is("editor") && in.isBlockName())
                in.skipBlock();
            continue;
        }
        if (in.is("color"))
            group.color = in.value;
        else if (in.is("visgroupshown"))
            group.visgroupshown = flagNotZero(in.value);
        else if (in.is("visgroupautoshown"))
            group.visgroupautoshown = flagNotZero(in.value);
        else if (in.is("id"))
            setUnsigned(in.value, group.id);
        else if (in.is("groupid"))
            setUnsigned(in.value, group.groupid);
    }
}

void readConnections(VMFLineSource &in, VMFBody &body)
{
    in.next(); // "{"
    while (in.nextInBlock()) {
        if (in.hasValue())
            body.connections << in.key << in.value;
        else if (in.isBlockName())
            in.skipBlock();
    }
}

// The world (no editor) or an entity's body and editor. A "hidden" block
// around solids is transparent: its solids are read as the body's, their
// editor blocks carrying the hidden state.
void readBodyBlock(VMFLineSource &in, VMFBody &body, VMFEditor *editor)
{
    in.next(); // "{"
    bool insideHidden = false;
    while (true) {
        if (in.hasValue()) {
            body.keyValues << in.key << in.value;
        } else if (in.is("solid")) {
            body.solids.append(VMFSolid());
            readSolid(in, body.solids.last());
        } else if (in.is("hidden")) {
            insideHidden = true;
        } else if (in.is("connections")) {
            readConnections(in, body);
        } else if (in.is("group")) {
            body.groups.append(VMFGroup());
            readGroup(in, body.groups.last());
        } else if (in.is("editor") && editor) {
            readEditorBlock(in, *editor);
        } else if (in.isBlockName()) {
            in.skipBlock();
        }
        if (in.finished())
            return;
        in.next();
        // The "}" of a hidden block is not the body's.
        if (insideHidden && in.isClose()) {
            in.next();
            insideHidden = false;
        }
        if (in.isClose())
            return;
    }
}

void readVersionInfo(VMFLineSource &in, CFileVMF &doc)
{
    while (in.nextInBlock()) {
        if (in.isBlockName()) {
            in.skipBlock();
            continue;
        }
        if (!in.hasText())
            continue;
        if (in.is("prefab"))
            doc.prefab = flagOne(in.value);
        else if (in.is("editorversion"))
            setUnsigned(in.value, doc.editorversion);
        else if (in.is("editorbuild"))
            setUnsigned(in.value, doc.editorbuild);
        else if (in.is("mapversion"))
            setUnsigned(in.value, doc.mapversion);
        else if (in.is("formatversion"))
            setUnsigned(in.value, doc.formatversion);
    }
}

void readVisgroups(VMFLineSource &in, CFileVMF &doc)
{
    in.next(); // "{"
    while (in.nextInBlock()) {
        if (in.is("visgroup")) {
            doc.visgroups.append(VMFVisgroup());
            readVisgroupBlock(in, doc.visgroups.last(), 1);
        } else if (in.isBlockName()) {
            in.skipBlock();
        }
    }
}

void readViewSettings(VMFLineSource &in, CFileVMF &doc)
{
    while (in.nextInBlock()) {
        if (in.isBlockName()) {
            in.skipBlock();
            continue;
        }
        if (!in.hasText())
            continue;
        if (in.is("bsnaptogrid"))
            doc.bSnapToGrid = flagNotZero(in.value);
        else if (in.is("bshowgrid"))
            doc.bShowGrid = flagNotZero(in.value);
        else if (in.is("bshowlogicalgrid"))
            doc.bShowLogicalGrid = flagOne(in.value);
        else if (in.is("ngridspacing"))
            setUnsigned(in.value, doc.nGridSpacing);
        else if (in.is("bshow3dgrid"))
            doc.bShow3DGrid = flagOne(in.value);
    }
}

void readCameras(VMFLineSource &in, CFileVMF &doc)
{
    int depth = 0;
    while (!in.finished()) {
        in.next();
        if (in.key == "{") {
            ++depth;
        } else if (in.isClose()) {
            // A stray "}" ends the block too.
            if (--depth <= 0)
                return;
        } else if (in.hasText()) {
            if (in.is("activecamera"))
                setSigned(in.value, doc.activecamera);
            else if (in.is("position") && !doc.cameras.isEmpty())
                doc.cameras.last().position = in.value;
            else if (in.is("look") && !doc.cameras.isEmpty())
                doc.cameras.last().look = in.value;
        } else if (in.isHeader("camera")) {
            doc.cameras.append(VMFCamera());
        } else if (in.isBlockName()) {
            in.skipBlock();
        }
    }
}

void readCordon(VMFLineSource &in, CFileVMF &doc)
{
    while (in.nextInBlock()) {
        if (in.isBlockName()) {
            in.skipBlock();
            continue;
        }
        if (!in.hasText())
            continue;
        if (in.is("mins"))
            doc.cordonMins = in.value;
        else if (in.is("maxs"))
            doc.cordonMaxs = in.value;
        else if (in.is("active"))
            doc.cordonActive = flagOne(in.value);
    }
}

} // namespace

std::unique_ptr<CFileVMF> readVmf(QIODevice *device, qint64 length, VMFSkippedBlocks *skipped)
{
    if (!device || !device->isOpen() || !device->isReadable())
        return nullptr;
    const qint64 start = device->pos();
    const qint64 end =
        length < 0 || length > std::numeric_limits<qint64>::max() - start ? -1 : start + length;
    auto doc = std::make_unique<CFileVMF>();
    VMFLineSource in(device, end);
    while (!in.finished()) {
        in.next();
        // A "hidden" block around entities is transparent: its lines are
        // read as if they stood at the top level. Other blocks are skipped.
        if (in.is("entity")) {
            doc->entities.append(VMFEntity());
            VMFEntity &entity = doc->entities.last();
            readBodyBlock(in, entity.body, &entity.editor);
        } else if (in.is("versioninfo")) {
            readVersionInfo(in, *doc);
        } else if (in.is("visgroups")) {
            readVisgroups(in, *doc);
        } else if (in.is("viewsettings")) {
            readViewSettings(in, *doc);
        } else if (in.is("world")) {
            readBodyBlock(in, doc->world, nullptr);
        } else if (in.is("cameras")) {
            readCameras(in, *doc);
        } else if (in.is("cordon")) {
            readCordon(in, *doc);
        } else if (in.isBlockName() && !in.is("hidden")) {
            in.skipBlock();
        }
    }
    if (skipped)
        *skipped = in.skipped;
    return doc;
}

std::unique_ptr<CFileVMF> readVmf(const QByteArray &text, VMFSkippedBlocks *skipped)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readVmf(&buffer, -1, skipped);
}

QString VMFSkippedBlocks::warning(const QString &path) const
{
    QStringList list;
    for (const QByteArray &name : names)
        list << QString::fromLatin1(name);
    if (moreNames)
        list << QStringLiteral("...");
    return QString::fromLatin1(count == 1 ? BspErrors::SkippedBlock : BspErrors::SkippedBlocks)
        .arg(path)
        .arg(count)
        .arg(list.join(QStringLiteral(", ")));
}
