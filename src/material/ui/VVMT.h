#pragma once

#include <QByteArray>
#include <QMainWindow>
#include <QString>

// The material script editor. This build keeps what it was handed and shows
// the material's name; editing arrives with the material tools.
class VVMT : public QMainWindow
{
    Q_OBJECT

public:
    // The empty path leaves the editor untitled and empty.
    explicit VVMT(const QString &path);
    // Material text from inside a package, titled with the entry's name.
    VVMT(const QByteArray &data, const QString &name);
    ~VVMT() override;

    const QString &path() const { return m_path; }
    const QByteArray &data() const { return m_data; }

private:
    void initialize(const QString &shown);

    QString m_path;
    QByteArray m_data;
};
