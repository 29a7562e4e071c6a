#pragma once

#include "CPath.h"

#include <QObject>
#include <QString>

// Base of every document read from a file: a QObject that is also the
// document's location, with the name shown in window titles.
class CFileClass : public QObject, public CPath
{
    Q_OBJECT

public:
    CFileClass();
    ~CFileClass() override;

    const QString &displayName() const { return m_displayName; }
    void setDisplayName(const QString &name) { m_displayName = name; }

    // "untitled" until a loader or the owning tool names the document.
    QString m_displayName;
};
