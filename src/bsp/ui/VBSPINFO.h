#pragma once

#include <QString>
#include <QWidget>

class CDelegateBSP;

// The map information window. This build names the map it was given; the
// lump table arrives with the map inspection tools.
class VBSPINFO : public QWidget
{
    Q_OBJECT

public:
    // Takes what it shows from an open map while it is built and keeps
    // nothing of the delegate, which the caller destroys.
    VBSPINFO(CDelegateBSP *delegate, QWidget *parent = nullptr);
    VBSPINFO(const QString &path, QWidget *parent = nullptr);
    ~VBSPINFO() override;

    const QString &mapName() const { return m_mapName; }

private:
    void initialize();

    QString m_mapName;
};
