#pragma once

#include <QStackedWidget>
#include <QString>

class QLabel;

// The pakfile lump editor. This build remembers the map it was asked to open;
// the pakfile table and the content scan arrive with the pakfile tools.
class VPakfile : public QStackedWidget
{
    Q_OBJECT

public:
    VPakfile();
    ~VPakfile() override;

    // Opens a map in the window. Not available yet: always false.
    bool open(const QString &path);

    const QString &requestedPath() const { return m_requestedPath; }

private:
    QLabel *m_label = nullptr;
    QString m_requestedPath;
};
