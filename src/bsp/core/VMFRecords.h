#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

#include <array>
#include <memory>

// The records of a map-source document (CFileVMF). Every text is held as the
// bytes it had in the file (Latin-1), and vectors, planes, axes, colours and
// positions stay text so that they are written back exactly as read.

namespace VMFDefaults {
// Shared so that the many records of a large map hold one copy of each.
const QByteArray &color();        // "255 255 255"
const QByteArray &logicalPos();   // "[0 0]"
const QByteArray &cameraPos();    // "[0 0 0]"
const QByteArray &cameraLook();   // "[0 256 0]"
const QByteArray &cordonMins();   // "(-1024 -1024 -1024)"
const QByteArray &cordonMaxs();   // "(1024 1024 1024)"
const QByteArray &visgroupName(); // "unnamed"
} // namespace VMFDefaults

// An owned record that copies deeply, so copies of the owner never share (or
// free twice) what it holds. Empty by default.
template <typename T>
class VMFOwned
{
public:
    VMFOwned() = default;
    VMFOwned(const VMFOwned &other)
        : m_value(other.m_value ? std::make_unique<T>(*other.m_value) : nullptr)
    {}
    VMFOwned(VMFOwned &&) noexcept = default;
    VMFOwned &operator=(const VMFOwned &other)
    {
        if (this != &other)
            m_value = other.m_value ? std::make_unique<T>(*other.m_value) : nullptr;
        return *this;
    }
    VMFOwned &operator=(VMFOwned &&) noexcept = default;

    explicit operator bool() const { return bool(m_value); }
    T *get() const { return m_value.get(); }
    T &operator*() const { return *m_value; }
    T *operator->() const { return m_value.get(); }
    // Replaces what is held by a new default record and returns it.
    T &create()
    {
        m_value = std::make_unique<T>();
        return *m_value;
    }
    void reset() { m_value.reset(); }

private:
    std::unique_ptr<T> m_value;
};

struct VMFVisgroup
{
    QByteArray name = VMFDefaults::visgroupName();
    quint16 visgroupid = 0;
    QByteArray color = VMFDefaults::color();
    QVector<VMFVisgroup> children;
};

// The editor block of a solid or an entity.
struct VMFEditor
{
    QByteArray color = VMFDefaults::color();
    quint32 groupid = 0;
    QVector<quint32> visgroupids;
    bool visgroupshown = true;
    bool visgroupautoshown = true;
    QByteArray logicalpos = VMFDefaults::logicalPos();
    QByteArray comments;
};

struct VMFDispInfo
{
    // Rows of a displacement: one text per row, the row number is its position.
    using Rows = QVector<QByteArray>;
    // Room reserved when a row list gets its first row: a displacement of
    // power 4 has 17 rows.
    static constexpr int TypicalRows = 17;
    // The six row lists with their block names, in the order files hold them.
    struct RowList
    {
        const char *name;
        Rows VMFDispInfo::*rows;
    };
    static const std::array<RowList, 6> &rowLists();

    quint8 power = 2;
    QByteArray startposition;
    quint8 flags = 1;
    float elevation = 0.0f;
    bool subdiv = false;
    Rows normals;
    Rows distances;
    Rows offsets;
    Rows offset_normals;
    Rows alphas;
    Rows triangle_tags;
    QByteArray allowed_verts;
};

struct VMFSide
{
    quint32 id = 0;
    QByteArray plane;
    QByteArray material;
    QByteArray uaxis;
    QByteArray vaxis;
    qint16 rotation = 0;
    quint16 lightmapscale = 16;
    qint32 smoothing_groups = 0;
    // None for a side without displacement.
    VMFOwned<VMFDispInfo> displacement;
};

struct VMFSolid
{
    quint32 id = 0;
    QVector<VMFSide> sides;
    // visgroupshown false: a hidden solid.
    VMFEditor editor;
};

struct VMFGroup
{
    quint32 id = 0;
    QByteArray color = VMFDefaults::color();
    quint32 groupid = 0;
    bool visgroupshown = true;
    bool visgroupautoshown = true;
};

// The world, and the first part of every entity.
struct VMFBody
{
    // Key and value alternating, in reading order; keys as spelled in the
    // file, duplicates kept.
    QVector<QByteArray> keyValues;
    // Output name and value alternating.
    QVector<QByteArray> connections;
    QVector<VMFSolid> solids;
    QVector<VMFGroup> groups;
};

struct VMFEntity
{
    VMFBody body;
    // visgroupshown false: a hidden entity.
    VMFEditor editor;
};

struct VMFCamera
{
    QByteArray position = VMFDefaults::cameraPos();
    QByteArray look = VMFDefaults::cameraLook();
};
