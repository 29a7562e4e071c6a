#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The map editor's viewport layout and 3D draw distances, edited in place in
// the registry store. Values are read once, when the window is built, and
// each is written the moment it changes; nothing is ever created: a key that
// is missing disables its controls.
class VSPLIT : public QWidget
{
    Q_OBJECT

public:
    VSPLIT();
    ~VSPLIT() override;

    static constexpr int ViewCount = 4;
    static constexpr int DistanceCount = 3;

protected slots:
    void setTopLeft(int viewChoice);
    void setTopRight(int viewChoice);
    void setBottomLeft(int viewChoice);
    void setBottomRight(int viewChoice);
    void setDrawDistance();
    void setModelDistance();
    void setDetailDistance();
    void setCubicDrawDistance();
    void setCubicModelDistance();
    void setCubicDetailDistance();

private:
    QWidget *buildViewPane(int view);
    QGroupBox *buildDistanceGroup(int distance);
    // Key 0 holds the views, key 1 the distances.
    void readKey(int keyIndex);
    void disableSetting(int setting);
    // Shows the value last read from or written to the store.
    void showStored(int setting);
    void writeSetting(int setting, quint32 value);
    void writeView(int view, int viewChoice);
    void writeDistance(int distance);
    void setCubicDistance(int distance);
    void warn(const QString &text);

    QStringList viewTypeNames;
    QComboBox *m_views[ViewCount] = {};
    QLineEdit *m_distances[DistanceCount] = {};
    QPushButton *m_cubicButtons[DistanceCount] = {};
    quint32 m_stored[ViewCount + DistanceCount] = {};
};
