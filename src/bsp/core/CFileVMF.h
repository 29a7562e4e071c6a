#pragma once

#include "VMFRecords.h"

#include <QByteArray>
#include <QString>
#include <QVector>

class QIODevice;
class QTextStream;

// A map-source document (".vmf", ".vmx": the map editor's text format):
// version information, the visgroup tree, view settings, the world, the
// entities, the cameras and the cordon. A plain value: built with the
// defaults below, filled by readVmf() or by code, written by save().
class CFileVMF
{
public:
    CFileVMF() = default;

    // "versioninfo"
    quint16 editorversion = 0;
    quint16 editorbuild = 0;
    quint16 mapversion = 0;
    quint16 formatversion = 100;
    bool prefab = false;
    // "visgroups": the top level of the tree.
    QVector<VMFVisgroup> visgroups;
    // "viewsettings"
    bool bSnapToGrid = true;
    bool bShowGrid = true;
    bool bShowLogicalGrid = false;
    quint16 nGridSpacing = 8;
    bool bShow3DGrid = false;
    // "world"
    VMFBody world;
    // "entity", or "hidden" around one whose editor hides it.
    QVector<VMFEntity> entities;
    // "cameras"
    qint16 activecamera = -1;
    QVector<VMFCamera> cameras;
    // "cordon"
    QByteArray cordonMins = VMFDefaults::cordonMins();
    QByteArray cordonMaxs = VMFDefaults::cordonMaxs();
    bool cordonActive = false;

    // Why the last failed save failed; a success leaves it as it was.
    const QString &errorText() const { return m_errorText; }

    // Writes the document to the file through a temporary file, which
    // replaces the file only when everything was written; a failed save
    // leaves the old file as it was.
    bool save(const QString &path);
    // Writes the document to an open, writable device at its position.
    bool saveToDevice(QIODevice *device);
    // The whole document as map-source text. The stream should write
    // Latin-1, so that 8-bit texts come back as read.
    void writeText(QTextStream &stream) const;

private:
    bool fail(const QString &text);

    QString m_errorText;
};
