#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>

// The entity lump editor. This build keeps its owner (the main window, which
// opens further files in new windows) and the path it was given.
class VENTITY : public QMainWindow
{
    Q_OBJECT

public:
    // The empty path opens nothing.
    VENTITY(QWidget *owner, const QString &path);
    ~VENTITY() override;

    QWidget *owner() const { return m_owner; }
    const QString &path() const { return m_path; }

private:
    QPointer<QWidget> m_owner;
    QString m_path;
};
