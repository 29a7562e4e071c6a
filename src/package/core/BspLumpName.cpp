// The lump names of compiled maps by internal version.
#include "CDelegateBSP.h"

namespace F = BspFormat;

QString bspLumpName(int version, int lump)
{
    static const char *const common[F::LumpCount] = {"Entities",
                                                     "Planes",
                                                     "Texdata",
                                                     "Vertexes",
                                                     "Visibility",
                                                     "Nodes",
                                                     "Texinfo",
                                                     "Faces",
                                                     "Lighting",
                                                     "Occlusion",
                                                     "Leaves",
                                                     nullptr,
                                                     "Edges",
                                                     "Surfedges",
                                                     "Models",
                                                     "Worldlights",
                                                     "LeafFaces",
                                                     "LeafBrushes",
                                                     "Brushes",
                                                     "Brushsides",
                                                     "Areas",
                                                     "AreaPortals",
                                                     nullptr,
                                                     nullptr,
                                                     nullptr,
                                                     nullptr,
                                                     "Dispinfo",
                                                     "OriginalFaces",
                                                     nullptr,
                                                     "PhysCollide",
                                                     "VertNormals",
                                                     "VertNormalIndices",
                                                     "DispLightmapAlphas",
                                                     "DispVerts",
                                                     "DispLightmapSamplePos",
                                                     "GameLump",
                                                     "LeafWaterData",
                                                     "Primitives",
                                                     "PrimVerts",
                                                     "PrimIndices",
                                                     "Pakfile",
                                                     "ClipPortalVerts",
                                                     "Cubemaps",
                                                     "TexdataStringData",
                                                     "TexdataStringTable",
                                                     "Overlays",
                                                     "LeafMinDistToWater",
                                                     "FaceMacroTextureInfo",
                                                     "DispTris",
                                                     nullptr,
                                                     "WaterOverlays",
                                                     nullptr,
                                                     nullptr,
                                                     nullptr,
                                                     nullptr,
                                                     nullptr,
                                                     nullptr,
                                                     "XZipPakFile",
                                                     "FacesHDR",
                                                     nullptr,
                                                     nullptr,
                                                     nullptr,
                                                     nullptr,
                                                     nullptr};
    if (lump < 0 || lump >= F::LumpCount)
        return QStringLiteral("Unknown");
    if (common[lump])
        return QString::fromLatin1(common[lump]);

    const bool v19 = version == 19;
    const bool v20 = version == 20;
    const bool v20to22 = version >= 20 && version <= 22;
    const bool v21to22 = version == 21 || version == 22;
    const char *name = nullptr;
    switch (lump) {
    case 11:
        name = v20to22 ? "FaceIDs" : nullptr;
        break;
    case 22:
        name = v19 ? "Portals" : v21to22 ? "PropCollision" : nullptr;
        break;
    case 23:
        name = v19 ? "Clusters" : v21to22 ? "PropHulls" : nullptr;
        break;
    case 24:
        name = v19 ? "PortalVerts" : v21to22 ? "PropHullVerts" : nullptr;
        break;
    case 25:
        name = v19 ? "ClusterPortals" : v21to22 ? "PropTris" : nullptr;
        break;
    case 28:
        name = v20to22 ? "PhysDisp" : nullptr;
        break;
    case 49:
        name = v19 ? "PhysCollideSurface" : v21to22 ? "PropBlob" : nullptr;
        break;
    case 51:
        name = v19 ? "LightmapPages" : v20to22 ? "LeafAmbientIndexHDR" : nullptr;
        break;
    case 52:
        name = v19 ? "LightmapPageInfos" : v20to22 ? "LeafAmbientIndex" : nullptr;
        break;
    case 53:
        name = v20 ? "LightingHDR" : nullptr;
        break;
    case 54:
        name = v20 ? "WorldlightsHDR" : nullptr;
        break;
    case 55:
        name = v20 ? "LeafAmbientLightingHDR" : nullptr;
        break;
    case 56:
        name = v20 ? "LeafAmbientLighting" : nullptr;
        break;
    case 59:
        name = v20to22 ? "MapFlags" : nullptr;
        break;
    case 60:
        name = v20to22 ? "OverlayFades" : nullptr;
        break;
    case 61:
        name = v20to22 ? "OverlaySystemLevels" : nullptr;
        break;
    case 62:
        name = v21to22 ? "PhysLevel" : nullptr;
        break;
    case 63:
        name = version == 22 ? "DispMultiBlend" : nullptr;
        break;
    default:
        break;
    }
    return name ? QString::fromLatin1(name) : QStringLiteral("Unused");
}
