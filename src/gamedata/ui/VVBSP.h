#pragma once

#include <QMainWindow>
#include <QString>

class CFileVBSP;

// The detail-prop editor. This build keeps the document it is handed (and
// deletes it with itself); editing arrives with the game-data editors.
class VVBSP : public QMainWindow
{
    Q_OBJECT

public:
    VVBSP();
    explicit VVBSP(const QString &path);
    explicit VVBSP(CFileVBSP *document);
    ~VVBSP() override;

    CFileVBSP *document() const { return m_document; }
    const QString &path() const { return m_path; }

private:
    void initialize();

    QString m_path;
    CFileVBSP *m_document = nullptr;
};
