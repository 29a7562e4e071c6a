// Map sources (".vmf"): read from a device as the entity editor reads them,
// its entities taken as the editor takes them, written and read again.
#include "CFileVMF.h"
#include "EntityMapSource.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "VMFReader.h"

#include <QBuffer>
#include <QRegularExpression>

#include <memory>

using FuzzCheck::require;

namespace {

QByteArray written(CFileVMF &document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!document.saveToDevice(&buffer))
        FuzzCheck::failure("writing a map source", document.errorText());
    return bytes;
}

// Keys and values are written in quotes without escapes: a text holding a
// double quote (taken from a damaged line) reads back otherwise, and so does
// a pair whose key is "}", which closes the block it stands in. Every other
// source must read back as it was written.
bool pairsReadBack(const QByteArray &source)
{
    static const QRegularExpression pair(QStringLiteral("^\\t*\"[^\"]*\" \"[^\"]*\"$"));
    for (const QByteArray &line : source.split('\n')) {
        if (line.contains('"') && (line.trimmed().startsWith("\"}\"") ||
                                   !pair.match(QString::fromLatin1(line)).hasMatch()))
            return false;
    }
    return true;
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    FuzzCheck::CountingBuffer device(input);
    std::unique_ptr<CFileVMF> document(readVmf(&device));
    FuzzCheck::requireLinear(device.bytesRead(), input.size(), 1, 0, "map source read");
    require(document != nullptr, "an open device gives no map source");
    for (bool skipHidden : {false, true})
        EntityMapSource::entities(*document, skipHidden);

    const QByteArray first = written(*document);
    // A line of the input costs at most one record, written with its
    // defaults, indented at most one tab per level the reader accepts.
    FuzzCheck::requireLinear(quint64(first.size()), input.size(), 256, 4096, "written map source");
    std::unique_ptr<CFileVMF> again(readVmf(first));
    require(again != nullptr, "a written map source does not read");
    const QByteArray second = written(*again);
    if (pairsReadBack(first))
        require(second == first, "a written map source reads back differently");
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    // Every block the reader knows: nested visgroups, a world with a hidden
    // solid and a displaced side, groups, an entity with connections, a
    // hidden entity, cameras and the cordon.
    const QByteArray full =
        "versioninfo\n{\n\t\"editorversion\" \"400\"\n\t\"prefab\" \"1\"\n}\n"
        "visgroups\n{\n\tvisgroup\n\t{\n\t\t\"name\" \"Lights\"\n\t\t\"visgroupid\" \"1\"\n"
        "\t\tvisgroup\n\t\t{\n\t\t\t\"name\" \"Lamps\"\n\t\t\t\"visgroupid\" \"2\"\n\t\t}\n\t}\n}\n"
        "viewsettings\n{\n\t\"bSnapToGrid\" \"0\"\n\t\"nGridSpacing\" \"64\"\n}\n"
        "world\n{\n\t\"classname\" \"worldspawn\"\n"
        "\tsolid\n\t{\n\t\t\"id\" \"2\"\n\t\tside\n\t\t{\n\t\t\t\"id\" \"1\"\n"
        "\t\t\t\"plane\" \"(0 0 0) (1 0 0) (1 1 0)\"\n\t\t\t\"material\" \"BRICK/WALL01\"\n"
        "\t\t\t\"rotation\" \"-90\"\n\t\t\t\"smoothing_groups\" \"2147483648\"\n"
        "\t\t\tdispinfo\n\t\t\t{\n\t\t\t\t\"power\" \"3\"\n\t\t\t\t\"elevation\" \"2.5\"\n"
        "\t\t\t\tnormals\n\t\t\t\t{\n\t\t\t\t\t\"row0\" \"0 0 1\"\n\t\t\t\t}\n"
        "\t\t\t\tallowed_verts\n\t\t\t\t{\n\t\t\t\t\t\"10\" \"-1 -1\"\n\t\t\t\t}\n\t\t\t}\n"
        "\t\t}\n\t\teditor\n\t\t{\n\t\t\t\"visgroupid\" \"1\"\n\t\t}\n\t}\n"
        "\thidden\n\t{\n\tsolid\n\t{\n\t\t\"id\" \"3\"\n\t\teditor\n\t\t{\n"
        "\t\t\t\"visgroupshown\" \"0\"\n\t\t}\n\t}\n\t}\n"
        "\tgroup\n\t{\n\t\t\"id\" \"7\"\n\t\teditor\n\t\t{\n\t\t\t\"color\" \"0 100 0\"\n"
        "\t\t}\n\t}\n}\n"
        "entity\n{\n\t\"classname\" \"light\"\n\tconnections\n\t{\n"
        "\t\t\"OnTrigger\" \"lamp,TurnOn,,0,-1\"\n\t}\n\teditor\n\t{\n\t\t\"groupid\" \"7\"\n"
        "\t\t\"comments\" \"a lamp\"\n\t}\n}\n"
        "hidden\n{\n\tentity\n\t{\n\t\t\"classname\" \"info_null\"\n\t\teditor\n\t\t{\n"
        "\t\t\t\"visgroupshown\" \"0\"\n\t\t}\n\t}\n}\n"
        "cameras\n{\n\t\"activecamera\" \"0\"\n\tcamera\n\t{\n\t\t\"position\" \"[1 2 3]\"\n"
        "\t}\n}\ncordon\n{\n\t\"mins\" \"(-1 -1 -1)\"\n\t\"active\" \"1\"\n}\n";
    // Bare keys, CR line ends, comments and an unknown block.
    const QByteArray loose = "// comment\r\nworld\r\n{\r\nclassname worldspawn // sky\r\n"
                             "unknown\r\n{\r\n\"a\" \"b\"\r\n}\r\n}\r\nentity\r\n{\r\n";
    return {full, loose};
}
