// The map-source writer: the document as map-source text, laid out the way the
// map editor writes it (one tab per nesting level, LF line ends, values as
// held, without escaping).
#include "CFileVMF.h"

#include "BspErrors.h"
#include "CSaveFile.h"

#include <QFileDevice>
#include <QTextStream>

namespace E = BspErrors;

namespace {

// Bytes as Latin-1, whole: QString::fromLatin1(QByteArray) would stop at a NUL.
QString text(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.constData(), bytes.size());
}

QLatin1String flag(bool value)
{
    return value ? QLatin1String("1") : QLatin1String("0");
}

class VMFTextWriter
{
public:
    explicit VMFTextWriter(QTextStream &stream)
        : out(stream)
    {}

    enum class EditorForm
    {
        Solid,
        Entity
    };

    // One line: prefix, the key and the value quoted, LF.
    void pair(const QString &prefix, QLatin1String key, const QString &value)
    {
        out << prefix << '"' << key << "\" \"" << value << "\"\n";
    }
    void pair(const QString &prefix, const QByteArray &key, const QByteArray &value)
    {
        out << prefix << '"' << text(key) << "\" \"" << text(value) << "\"\n";
    }
    void line(const QString &prefix, QLatin1String word) { out << prefix << word << '\n'; }

    void writeVisgroup(const VMFVisgroup &group, const QString &prefix);
    void writeEditor(const VMFEditor &editor, const QString &prefix, EditorForm form);
    // entityEditor: none for the world.
    void writeBody(const VMFBody &body, const QString &prefix, const VMFEditor *entityEditor);

private:
    void writeSolid(const VMFSolid &solid, const QString &prefix);
    void writeSide(const VMFSide &side, const QString &prefix);
    void writeDisplacement(const VMFDispInfo &disp, const QString &prefix);
    void writeRows(const VMFDispInfo::Rows &rows, QLatin1String name, const QString &prefix);
    void writeGroup(const VMFGroup &group);

    QTextStream &out;
};

void VMFTextWriter::writeVisgroup(const VMFVisgroup &group, const QString &prefix)
{
    const QString inner = prefix + QLatin1String("\t\t");
    line(prefix, QLatin1String("\tvisgroup"));
    line(prefix, QLatin1String("\t{"));
    pair(inner, QLatin1String("name"), text(group.name));
    pair(inner, QLatin1String("visgroupid"), QString::number(group.visgroupid));
    pair(inner, QLatin1String("color"), text(group.color));
    const QString childPrefix = prefix + QLatin1Char('\t');
    for (const VMFVisgroup &child : group.children)
        writeVisgroup(child, childPrefix);
    line(prefix, QLatin1String("\t}"));
}

void VMFTextWriter::writeEditor(const VMFEditor &editor, const QString &prefix, EditorForm form)
{
    // A solid's editor stands one level deeper than the solid's keys.
    const QString p = form == EditorForm::Solid ? prefix + QLatin1Char('\t') : prefix;
    const QString inner = p + QLatin1String("\t\t");
    line(p, QLatin1String("\teditor"));
    line(p, QLatin1String("\t{"));
    pair(inner, QLatin1String("color"), text(editor.color));
    if (editor.groupid != 0)
        pair(inner, QLatin1String("groupid"), QString::number(editor.groupid));
    for (quint32 id : editor.visgroupids)
        pair(inner, QLatin1String("visgroupid"), QString::number(id));
    pair(inner, QLatin1String("visgroupshown"), flag(editor.visgroupshown));
    pair(inner, QLatin1String("visgroupautoshown"), flag(editor.visgroupautoshown));
    if (form == EditorForm::Entity) {
        if (!editor.comments.isEmpty())
            pair(inner, QLatin1String("comments"), text(editor.comments));
        pair(inner, QLatin1String("logicalpos"), text(editor.logicalpos));
    }
    line(p, QLatin1String("\t}"));
}

void VMFTextWriter::writeBody(const VMFBody &body, const QString &prefix,
                              const VMFEditor *entityEditor)
{
    const QString inner = prefix + QLatin1Char('\t');
    for (int i = 0; i + 1 < body.keyValues.size(); i += 2)
        pair(inner, body.keyValues[i], body.keyValues[i + 1]);
    if (body.connections.size() >= 2) {
        const QString connection = inner + QLatin1Char('\t');
        line(prefix, QLatin1String("\tconnections"));
        line(prefix, QLatin1String("\t{"));
        for (int i = 0; i + 1 < body.connections.size(); i += 2)
            pair(connection, body.connections[i], body.connections[i + 1]);
        line(prefix, QLatin1String("\t}"));
    }

    // A hidden entity hides its solids with it: they get no wrapper of their own.
    const bool wrapHidden = !entityEditor || entityEditor->visgroupshown;
    for (const VMFSolid &solid : body.solids) {
        if (!wrapHidden || solid.editor.visgroupshown) {
            writeSolid(solid, prefix);
            continue;
        }
        line(inner, QLatin1String("hidden"));
        line(inner, QLatin1String("{"));
        writeSolid(solid, inner);
        line(prefix, QLatin1String("\t}"));
    }
    for (const VMFGroup &group : body.groups)
        writeGroup(group);
}

void VMFTextWriter::writeSolid(const VMFSolid &solid, const QString &prefix)
{
    line(prefix, QLatin1String("\tsolid"));
    line(prefix, QLatin1String("\t{"));
    pair(prefix + QLatin1String("\t\t"), QLatin1String("id"), QString::number(solid.id));
    for (const VMFSide &side : solid.sides)
        writeSide(side, prefix);
    writeEditor(solid.editor, prefix, EditorForm::Solid);
    line(prefix, QLatin1String("\t}"));
}

void VMFTextWriter::writeSide(const VMFSide &side, const QString &prefix)
{
    const QString inner = prefix + QLatin1String("\t\t\t");
    line(prefix, QLatin1String("\t\tside"));
    line(prefix, QLatin1String("\t\t{"));
    pair(inner, QLatin1String("id"), QString::number(side.id));
    pair(inner, QLatin1String("plane"), text(side.plane));
    pair(inner, QLatin1String("material"), text(side.material));
    pair(inner, QLatin1String("uaxis"), text(side.uaxis));
    pair(inner, QLatin1String("vaxis"), text(side.vaxis));
    pair(inner, QLatin1String("rotation"), QString::number(side.rotation));
    pair(inner, QLatin1String("lightmapscale"), QString::number(side.lightmapscale));
    // A bit mask: written unsigned, as the reader takes it, so that a set top
    // bit survives a round trip.
    pair(inner, QLatin1String("smoothing_groups"), QString::number(quint32(side.smoothing_groups)));
    if (side.displacement)
        writeDisplacement(*side.displacement, prefix);
    line(prefix, QLatin1String("\t\t}"));
}

void VMFTextWriter::writeDisplacement(const VMFDispInfo &disp, const QString &prefix)
{
    const QString block = prefix + QLatin1String("\t\t\t");
    const QString inner = block + QLatin1Char('\t');
    line(block, QLatin1String("dispinfo"));
    line(block, QLatin1String("{"));
    pair(inner, QLatin1String("power"), QString::number(disp.power));
    pair(inner, QLatin1String("startposition"), text(disp.startposition));
    pair(inner, QLatin1String("flags"), QString::number(disp.flags));
    pair(inner, QLatin1String("elevation"), QString::number(double(disp.elevation), 'g', 6));
    pair(inner, QLatin1String("subdiv"), flag(disp.subdiv));
    for (const VMFDispInfo::RowList &list : VMFDispInfo::rowLists())
        writeRows(disp.*list.rows, QLatin1String(list.name), inner);
    if (!disp.allowed_verts.isEmpty()) {
        line(inner, QLatin1String("allowed_verts"));
        line(inner, QLatin1String("{"));
        pair(inner + QLatin1Char('\t'), QLatin1String("10"), text(disp.allowed_verts));
        line(inner, QLatin1String("}"));
    }
    line(block, QLatin1String("}"));
}

void VMFTextWriter::writeRows(const VMFDispInfo::Rows &rows, QLatin1String name,
                              const QString &prefix)
{
    if (rows.isEmpty())
        return;
    const QString inner = prefix + QLatin1Char('\t');
    line(prefix, name);
    line(prefix, QLatin1String("{"));
    for (int row = 0; row < rows.size(); ++row)
        out << inner << "\"row" << QString::number(row) << "\" \"" << text(rows[row]) << "\"\n";
    line(prefix, QLatin1String("}"));
}

void VMFTextWriter::writeGroup(const VMFGroup &group)
{
    // Groups stand at the same depth whatever holds them.
    out << "\tgroup\n\t{\n\t\t\"id\" \"" << QString::number(group.id)
        << "\"\n\t\teditor\n\t\t{\n\t\t\t\"color\" \"" << text(group.color);
    if (group.groupid != 0)
        out << "\"\n\t\t\t\"groupid\" \"" << QString::number(group.groupid);
    out << "\"\n\t\t\t\"visgroupshown\" \"" << flag(group.visgroupshown)
        << "\"\n\t\t\t\"visgroupautoshown\" \"" << flag(group.visgroupautoshown)
        << "\"\n\t\t}\n\t}\n";
}

} // namespace

bool CFileVMF::fail(const QString &text)
{
    m_errorText = text;
    return false;
}

bool CFileVMF::save(const QString &path)
{
    if (path.isEmpty())
        return fail(QString::fromLatin1(E::InvalidFilePath));
    CSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.failure(QString::fromLatin1(E::UnableToOpen).arg(path)));
    if (!saveToDevice(&file)) {
        m_errorText = file.failure(m_errorText);
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail(
            file.folderOr(QString::fromLatin1(E::UnableToSave).arg(path, file.errorString())));
    return true;
}

bool CFileVMF::saveToDevice(QIODevice *device)
{
    if (!device || !device->isOpen())
        return fail(QString::fromLatin1(E::DeviceNotOpen));
    if (!device->isWritable())
        return fail(QString::fromLatin1(E::DeviceNotWritable));
    QTextStream stream(device);
    stream.setCodec("ISO-8859-1");
    writeText(stream);
    stream.flush();
    bool written = stream.status() == QTextStream::Ok;
    // A file keeps bytes in its own buffer: a full disk shows only here.
    if (auto *file = qobject_cast<QFileDevice *>(device))
        written = written && file->flush() && file->error() == QFileDevice::NoError;
    return written || fail(QString::fromLatin1(E::Incomplete));
}

void CFileVMF::writeText(QTextStream &out) const
{
    VMFTextWriter w(out);
    const QString none;
    const QString tab(QLatin1Char('\t'));
    out << "versioninfo\n{\n";
    w.pair(tab, QLatin1String("editorversion"), QString::number(editorversion));
    w.pair(tab, QLatin1String("editorbuild"), QString::number(editorbuild));
    w.pair(tab, QLatin1String("mapversion"), QString::number(mapversion));
    w.pair(tab, QLatin1String("formatversion"), QString::number(formatversion));
    w.pair(tab, QLatin1String("prefab"), flag(prefab));
    out << "}\nvisgroups\n{\n";
    for (const VMFVisgroup &group : visgroups)
        w.writeVisgroup(group, none);
    out << "}\nviewsettings\n{\n";
    w.pair(tab, QLatin1String("bSnapToGrid"), flag(bSnapToGrid));
    w.pair(tab, QLatin1String("bShowGrid"), flag(bShowGrid));
    w.pair(tab, QLatin1String("bShowLogicalGrid"), flag(bShowLogicalGrid));
    w.pair(tab, QLatin1String("nGridSpacing"), QString::number(nGridSpacing));
    w.pair(tab, QLatin1String("bShow3DGrid"), flag(bShow3DGrid));
    out << "}\nworld\n{\n";
    w.writeBody(world, none, nullptr);
    out << "}\n";

    for (const VMFEntity &entity : entities) {
        const bool hidden = !entity.editor.visgroupshown;
        const QString &prefix = hidden ? tab : none;
        if (hidden)
            out << "hidden\n{\n";
        w.line(prefix, QLatin1String("entity"));
        w.line(prefix, QLatin1String("{"));
        w.writeBody(entity.body, prefix, &entity.editor);
        w.writeEditor(entity.editor, prefix, VMFTextWriter::EditorForm::Entity);
        w.line(prefix, QLatin1String("}"));
        if (hidden)
            out << "}\n";
    }

    out << "cameras\n{\n";
    w.pair(tab, QLatin1String("activecamera"), QString::number(activecamera));
    const QString cameraKeys = tab + tab;
    for (const VMFCamera &camera : cameras) {
        out << "\tcamera\n\t{\n";
        w.pair(cameraKeys, QLatin1String("position"), text(camera.position));
        w.pair(cameraKeys, QLatin1String("look"), text(camera.look));
        out << "\t}\n";
    }
    out << "}\ncordon\n{\n";
    w.pair(tab, QLatin1String("mins"), text(cordonMins));
    w.pair(tab, QLatin1String("maxs"), text(cordonMaxs));
    w.pair(tab, QLatin1String("active"), flag(cordonActive));
    out << "}\n";
}
