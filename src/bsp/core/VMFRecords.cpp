#include "VMFRecords.h"

namespace VMFDefaults {

const QByteArray &color()
{
    static const QByteArray text("255 255 255");
    return text;
}

const QByteArray &logicalPos()
{
    static const QByteArray text("[0 0]");
    return text;
}

const QByteArray &cameraPos()
{
    static const QByteArray text("[0 0 0]");
    return text;
}

const QByteArray &cameraLook()
{
    static const QByteArray text("[0 256 0]");
    return text;
}

const QByteArray &cordonMins()
{
    static const QByteArray text("(-1024 -1024 -1024)");
    return text;
}

const QByteArray &cordonMaxs()
{
    static const QByteArray text("(1024 1024 1024)");
    return text;
}

const QByteArray &visgroupName()
{
    static const QByteArray text("unnamed");
    return text;
}

} // namespace VMFDefaults

const std::array<VMFDispInfo::RowList, 6> &VMFDispInfo::rowLists()
{
    static const std::array<RowList, 6> lists = {{{"normals", &VMFDispInfo::normals},
                                                  {"distances", &VMFDispInfo::distances},
                                                  {"offsets", &VMFDispInfo::offsets},
                                                  {"offset_normals", &VMFDispInfo::offset_normals},
                                                  {"alphas", &VMFDispInfo::alphas},
                                                  {"triangle_tags", &VMFDispInfo::triangle_tags}}};
    return lists;
}
