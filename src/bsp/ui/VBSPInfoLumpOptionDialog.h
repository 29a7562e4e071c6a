#pragma once

#include <QDialog>
#include <QString>

class QPushButton;

// Asks what to do with one lump of the map information window: extract it,
// replace it, or nothing.
class VBSPInfoLumpOptionDialog : public QDialog
{
    Q_OBJECT

public:
    enum Option
    {
        None = 0,
        Extract = 1,
        Replace = 2
    };

    // lumpName: the row's name, shown in the title. Centred over the parent.
    VBSPInfoLumpOptionDialog(const QString &lumpName, QWidget *parent);

    int option() const { return m_option; }

public slots:
    void extractPressed()
    {
        m_option = Extract;
        accept();
    }
    void replacePressed()
    {
        m_option = Replace;
        accept();
    }

private:
    int m_option = None;
};
