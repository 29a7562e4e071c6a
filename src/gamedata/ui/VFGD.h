#pragma once

#include <QMainWindow>

class CFileFGD;

// The entity-definition editor. This build keeps the parsed document it is
// handed (and deletes it with itself) and names it; the class browser is
// still to come.
class VFGD : public QMainWindow
{
    Q_OBJECT

public:
    explicit VFGD(CFileFGD *document = nullptr);
    ~VFGD() override;

    CFileFGD *document() const { return m_document; }

private:
    CFileFGD *m_document = nullptr;
};
