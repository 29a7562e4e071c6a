#include "FileTypeName.h"

namespace {

struct FileType
{
    const char *suffix;
    const char *name;
};

// Compared in this order; the first match wins.
constexpr FileType Types[] = {
    {"vmt", "Material"},
    {"spr", "Material"},
    {"vtf", "Texture"},
    {"hdr.vtf", "Texture (HDR)"},
    {"vhv", "Prop Data"},
    {"mdl", "Model"},
    {"ani", "Animation"},
    {"vvd", "Vertex"},
    {"sw.vtx", "Mesh (Software)"},
    {"dx80.vtx", "Mesh (DX8)"},
    {"dx90.vtx", "Mesh (DX9)"},
    {"phy", "Collision"},
    {"xbox.vtx", "Mesh (XBox)"},
    {"vtx", "Mesh"},
    {"wav", "Sound"},
    {"mp3", "Sound"},
    {"pcf", "Particle Cache"},
    {"dct", "Dictionary"},
    {"txt", "Text"},
    {"cache", "Cache"},
    {"vcd", "Faceposer Scene"},
    {"nav", "Navigation Mesh"},
    {"ain", "Nodegraph"},
};

} // namespace

QString fileTypeName(const QString &suffix)
{
    for (const FileType &type : Types) {
        if (suffix == QLatin1String(type.suffix))
            return QString::fromLatin1(type.name);
    }
    return QStringLiteral("Other");
}
