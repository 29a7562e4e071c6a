#pragma once

#include "VTFMassOptions.h"
#include "VTFMassSink.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

// The bulk texture converter ("Mass VTF Editor"): converts every file of one
// format in a folder into another format in a target folder. The settings
// pages feed a VTFMassConverter; the run page shows the file in hand and one
// log line per problem. One button cycles "Apply" (start), "Cancel" (stop
// before the next file) and "Return" (back to the settings).
class VTFMass : public QWidget, private VTFMassSink
{
    Q_OBJECT

public:
    enum Page
    {
        TexturePage = 0,
        ImagePage = 1,
        RunPage = 2
    };

    VTFMass();
    ~VTFMass() override;

    // The settings as the run reads them from the widgets.
    VTFMassOptions options() const;
    bool stopFlag() const { return m_stop; }

protected:
    void closeEvent(QCloseEvent *event) override;

protected slots:
    void sourcePathButtonClicked();
    void destinationPathButtonClicked();
    void fromFormatComboChanged(int index);
    void toFormatComboChanged(int index);
    void toVersionComboChanged(int index);
    void toVersionCheckToggled(bool checked);
    void toLowResFormatComboChanged(int index);
    void toHighResFormatComboChanged(int index);
    void resizeParametersButtonClicked();
    void flagItemClicked(QListWidgetItem *item);
    void resourceLODChanged();
    void resourceLODToggled(bool checked);
    void resourceTS0Changed();
    void resourceTS0Toggled(bool checked);
    void cycleFormatControl();
    void startFormat();

private:
    // "Skip"/"Modify" and "Existing"/"All" of one resource box.
    struct ResourceChoice
    {
        QRadioButton *skip = nullptr;
        QRadioButton *modify = nullptr;
        QRadioButton *existing = nullptr;
        QRadioButton *all = nullptr;
    };

    QGroupBox *buildBasicSettings();
    QWidget *buildTexturePage();
    QGroupBox *buildOptionsGroup();
    QGroupBox *buildFlagsGroup();
    QGroupBox *buildResourcesGroup();
    QWidget *buildImagePage();
    QWidget *buildRunPage();
    void connectControls();
    // The four radio buttons in one row, in two exclusive pairs.
    QWidget *buildResourceChoice(ResourceChoice &choice, const QString &name);
    static void setResourceSource(QGroupBox *box, const ResourceChoice &choice, bool texture);
    static VTFMassResourceRule resourceRule(const QGroupBox *box, const ResourceChoice &choice);

    // VTFMassSink: the run page.
    void refuse(const QString &text) override;
    void log(const QString &text) override;
    void setCurrent(const QString &title) override;
    bool stopRequested() override;

    QGroupBox *m_basicSettings = nullptr;
    QLineEdit *m_sourceEdit = nullptr;
    QLineEdit *m_filterEdit = nullptr;
    QComboBox *m_filterModeBox = nullptr;
    QComboBox *m_sourceFormatBox = nullptr;
    QComboBox *m_targetFormatBox = nullptr;
    QCheckBox *m_recursiveCheck = nullptr;
    QCheckBox *m_preserveCheck = nullptr;
    QCheckBox *m_overwriteCheck = nullptr;
    QLineEdit *m_targetEdit = nullptr;
    QPushButton *m_sourceBrowse = nullptr;
    QPushButton *m_targetBrowse = nullptr;

    QStackedWidget *m_pages = nullptr;
    QGroupBox *m_versionGroup = nullptr;
    QComboBox *m_versionBox = nullptr;
    QGroupBox *m_thumbnailGroup = nullptr;
    QComboBox *m_thumbnailBox = nullptr;
    QGroupBox *m_formatGroup = nullptr;
    QComboBox *m_formatBox = nullptr;
    QPushButton *m_resizeButton = nullptr;
    QListWidget *m_flagList = nullptr;
    QGroupBox *m_resourcesGroup = nullptr;
    QGroupBox *m_lodGroup = nullptr;
    std::array<QLineEdit *, 4> m_lodEdits{};
    ResourceChoice m_lodChoice;
    QGroupBox *m_ts0Group = nullptr;
    QLineEdit *m_ts0Edit = nullptr;
    ResourceChoice m_ts0Choice;
    std::array<QGroupBox *, 4> m_exportGroups{};
    std::array<QLineEdit *, 4> m_separatorEdits{};
    QGroupBox *m_runGroup = nullptr;
    QPlainTextEdit *m_runLog = nullptr;
    QPushButton *m_applyButton = nullptr;

    int m_thumbnailEntry = 14;
    int m_imageEntry = 15;
    quint8 m_resizeFilter = 11;
    quint8 m_widthMethod = 0;
    quint8 m_widthClamp = 12;
    quint8 m_heightMethod = 0;
    quint8 m_heightClamp = 12;
    quint32 m_flagsToSet = 0;
    quint32 m_flagsToClear = 0;
    std::array<quint8, 4> m_lodValues{{30, 30, 30, 30}};
    quint32 m_ts0Value = 0;
    bool m_stop = false;
    // A run is on the stack: the window must not go away under it.
    bool m_running = false;
};
