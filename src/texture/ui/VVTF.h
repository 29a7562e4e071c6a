#pragma once

#include <QMainWindow>
#include <QString>

class CFileVTF;

// The texture editor. This build shows which texture it was handed; editing
// arrives with the texture tools.
class VVTF : public QMainWindow
{
    Q_OBJECT

public:
    // The empty path leaves the editor empty.
    explicit VVTF(const QString &path);
    // Takes the document over and deletes it with the window; null leaves the
    // editor empty.
    explicit VVTF(CFileVTF *document);
    ~VVTF() override;

    CFileVTF *document() const { return m_document; }
    const QString &path() const { return m_path; }

private:
    void initialize();

    QString m_path;
    CFileVTF *m_document = nullptr;
};
