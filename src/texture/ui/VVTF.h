#pragma once

#include "VTFQImage.h"
#include "VVTFRules.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <QTimer>

class CFileVTF;
class QAction;
class QComboBox;
class QGroupBox;
class QIcon;
class QLabel;
class QImage;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QScrollArea;
class QSlider;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class VVTFImageRangeWidget;
namespace VVTFEditRules {
struct ImageRange;
}

// The texture editor: one texture per window, shown one image at a time (a
// mipmap, frame, face and slice of the image chain, or the thumbnail) beside
// a tabbed panel with the image tree, the view controls, the flags, the
// header fields and the resources.
//
// The shown image is decoded to RGBA8888 once per selection and kept; the
// channel, mask and tile choices only re-render that buffer.
//
// A window keeps the document it took for its whole life: opening, creating
// or importing in a window that holds one opens a further window through the
// main window's showVVTF(CFileVTF*) slot.
class VVTF : public QMainWindow
{
    Q_OBJECT

public:
    // View flag bits; the low six are a VTFChannelMode.
    enum ViewFlag : quint32
    {
        ChannelBits = 0x1F,
        Mask = 0x20,
        Tile = 0x40,
        // The three tile copies hold the current picture.
        TileCurrent = 0x80,
        ChannelModeBits = 0x3F
    };
    // Slider positions (hundredths) to start from and to return to on a
    // right click: key 1.25, shift 0.4, gamma 4.0.
    static constexpr int KeyDefault = 125;
    static constexpr int ShiftDefault = 40;
    static constexpr int GammaDefault = 400;

    // Opens the path (the empty path leaves the window empty).
    explicit VVTF(const QString &path);
    // Takes the document over and deletes it with the window; null leaves the
    // window empty.
    explicit VVTF(CFileVTF *document);
    ~VVTF() override;

    CFileVTF *document() const { return m_document; }

    // --- Operations the editor's commands share -----------------------------

    // Clamps the indices to the document's counts, makes them the current
    // image and decodes it into the display buffer; false without a document.
    // Callers refresh the view when it returns true.
    bool vtfSelectImage(int mipmap, int frame, int face, int slice);
    // Renders the display buffer with the view flags into the image label.
    void vtfRefreshView();
    void vtfShowThumbnail();
    void vtfUpdateNavigation();
    void vtfRebuildImageTree();
    void vtfUpdateFlagColours();
    void vtfUpdateImageFields();
    // Levels with one member in the document stop meaning "all".
    void vtfNormalizeTreeSelection();
    // The tree selection := what the image-tree item stands for.
    void vtfResolveTreeItem(QTreeWidgetItem *item);

    // --- State ----------------------------------------------------------------

    quint32 viewFlags() const { return m_viewFlags; }
    int currentMipmap() const { return m_currentMipmap; }
    int currentFrame() const { return m_currentFrame; }
    int currentFace() const { return m_currentFace; }
    int currentSlice() const { return m_currentSlice; }
    // True while a chain image is shown, false while the thumbnail is.
    bool imageShown() const { return m_imageShown; }
    QSize displaySize() const { return QSize(m_displayWidth, m_displayHeight); }
    const QByteArray &displayBuffer() const { return m_displayBuffer; }
    const QTimer &animationTimer() const { return m_animationTimer; }

    // The image-tree node last clicked or right-clicked.
    VVTFRules::TreeSelection treeSelection;

    // --- Widgets (owned through the window) -------------------------------------

    QMenu *menuFile = nullptr;
    QAction *actionNew = nullptr;
    QAction *actionOpen = nullptr;
    QAction *actionSave = nullptr;
    QAction *actionSaveAs = nullptr;
    QAction *actionSaveCopyAs = nullptr;
    QAction *actionImport = nullptr;
    QAction *actionExport = nullptr;
    QAction *actionExit = nullptr;
    QMenu *menuEdit = nullptr;
    QAction *actionCopy = nullptr;
    QAction *actionPaste = nullptr;
    QAction *actionComputeReflectivity = nullptr;
    QAction *actionCorrectGamma = nullptr;
    QAction *actionGenerateMipmaps = nullptr;
    QAction *actionGenerateSpheremaps = nullptr;
    QAction *actionMipmapCount = nullptr;
    QAction *actionFrameCount = nullptr;
    QMenu *menuFaceCount = nullptr;
    QAction *actionFacesOne = nullptr;
    QAction *actionFacesSix = nullptr;
    QAction *actionFacesSeven = nullptr;
    QAction *actionSliceCount = nullptr;
    QMenu *menuView = nullptr;
    QAction *actionChannelRGB = nullptr;
    QAction *actionChannelRed = nullptr;
    QAction *actionChannelGreen = nullptr;
    QAction *actionChannelBlue = nullptr;
    QAction *actionChannelAlpha = nullptr;
    QAction *actionMask = nullptr;
    QAction *actionTile = nullptr;

    // The image tree's context menu.
    QMenu *treeMenu = nullptr;
    QAction *treeActionCopy = nullptr;
    QAction *treeActionPaste = nullptr;
    QAction *treeActionFromFile = nullptr;
    QAction *treeActionFromImage = nullptr;
    QAction *treeActionCorrectGamma = nullptr;
    QAction *treeActionComputeReflectivity = nullptr;
    QAction *treeActionGenerateMipmaps = nullptr;
    QAction *treeActionGenerateSpheremaps = nullptr;

    QTabWidget *tabs = nullptr;
    QTreeWidget *imageTree = nullptr;
    QPushButton *mipmapLeft = nullptr;
    QPushButton *mipmapRight = nullptr;
    QLabel *mipmapCounter = nullptr;
    QPushButton *frameLeft = nullptr;
    QPushButton *frameRight = nullptr;
    QLabel *frameCounter = nullptr;
    QPushButton *faceLeft = nullptr;
    QPushButton *faceRight = nullptr;
    QLabel *faceCounter = nullptr;
    QPushButton *sliceLeft = nullptr;
    QPushButton *sliceRight = nullptr;
    QLabel *sliceCounter = nullptr;
    QSlider *keySlider = nullptr;
    QSlider *shiftSlider = nullptr;
    QSlider *gammaSlider = nullptr;
    QPushButton *animationButton = nullptr;
    QListWidget *flagList = nullptr;
    QComboBox *versionBox = nullptr;
    QComboBox *thumbnailFormatBox = nullptr;
    QComboBox *imageFormatBox = nullptr;
    QLineEdit *firstFrameEdit = nullptr;
    QLineEdit *bumpmapEdit = nullptr;
    QLineEdit *reflectivityRedEdit = nullptr;
    QLineEdit *reflectivityGreenEdit = nullptr;
    QLineEdit *reflectivityBlueEdit = nullptr;
    QLabel *crcStatus = nullptr;
    QGroupBox *crcGroup = nullptr;
    QGroupBox *lodGroup = nullptr;
    QLineEdit *lodClampX = nullptr;
    QLineEdit *lodClampY = nullptr;
    QLineEdit *lodXboxClampX = nullptr;
    QLineEdit *lodXboxClampY = nullptr;
    QPushButton *sheetButton = nullptr;
    QGroupBox *textureSettingsGroup = nullptr;
    QLineEdit *textureSettingsEdit = nullptr;
    QLabel *keyValueStatus = nullptr;
    QScrollArea *imageArea = nullptr;
    QLabel *imageLabel = nullptr;
    QWidget *tileWidget = nullptr;
    QLabel *tileCopies[3] = {nullptr, nullptr, nullptr};

public slots:
    void vtfShowChannelRGB();
    void vtfShowChannelRed();
    void vtfShowChannelGreen();
    void vtfShowChannelBlue();
    void vtfShowChannelAlpha();
    void vtfToggleMask();
    void vtfToggleTile();

    void vtfMipmapLeft();
    void vtfMipmapRight();
    void vtfFrameLeft();
    void vtfFrameRight();
    void vtfFaceLeft();
    void vtfFaceRight();
    void vtfSliceLeft();
    void vtfSliceRight();

    void vtfKeyChanged(int value);
    void vtfShiftChanged(int value);
    void vtfGammaChanged(int value);
    void vtfKeyReset(const QPoint &point);
    void vtfShiftReset(const QPoint &point);
    void vtfGammaReset(const QPoint &point);

    void vtfToggleAnimation(bool on);
    void vtfAnimationCycle();

    void vtfOpen();
    // False only when the file is refused (the reason has been shown).
    bool vtfOpen(const QString &path);
    void vtfNew();
    void vtfImport();
    void vtfOpenShared();

    // Edits the sprite sheet in a dialog; Ok replaces the resource's payload.
    void vtfSheetButtonClicked();

    // Saving, the clipboard and the structure commands.
    void vtfSave();
    void vtfSaveAs();
    void vtfSaveCopyAs();
    void vtfSaveShared(const QString &path, bool copy);
    void vtfMenuCopy();
    void vtfCopy();
    void vtfClipboardDataChanged();
    void vtfGenerateThumbnail();
    void vtfSetFacesOne();
    void vtfSetFacesSix();
    void vtfSetFacesSeven();
    void vtfSetFacesShared(unsigned char faces);
    void vtfSetFrames();
    void vtfSetSlices();
    void vtfSetMipmaps();

    // The flag list, the header fields and the resources.
    void vtfFlagItemClicked(QListWidgetItem *item);
    void vtfFileVersionChanged(int index);
    void vtfLowResImageFormatChanged(int index);
    void vtfHighResImageFormatChanged(int index);
    void vtfFirstFrameChanged();
    void vtfBumpmapChanged();
    void vtfReflectivityRedChanged();
    void vtfReflectivityGreenChanged();
    void vtfReflectivityBlueChanged();
    void vtfCRCToggled();
    void vtfLODToggled();
    void vtfLODClampValuesChanged();
    void vtfTS0Toggled();
    void vtfTS0Changed();

    // The image tree and pasting.
    void vtfTreeItemClicked(QTreeWidgetItem *item, int column);
    void vtfTreeContextMenu(const QPoint &point);
    void vtfTreeFromFile();
    void vtfPaste();
    void vtfMenuPaste();

    // The operation dialogs.
    void vtfTreeFromImage();
    void vtfExport();
    void vtfGenerateSpheremaps();
    void vtfCorrectGamma();
    void vtfComputeReflectivity();
    void vtfGenerateMipmaps();
    void vtfMenuGenerateSpheremaps();
    void vtfMenuCorrectGamma();
    void vtfMenuComputeReflectivity();
    void vtfMenuGenerateMipmaps();

    // The size the window took with room for a 512 x 512 picture, kept after
    // the picture label shrinks to each image (a sub-window opens at it).
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void initialize();
    void buildMenus();
    void buildTreeMenu();
    QWidget *buildLayoutPage();
    QWidget *buildImagePage();
    QWidget *buildFlagsPage();
    QWidget *buildInfoPage();
    QWidget *buildResourcesPage();
    void buildImageArea();

    void setChannel(quint32 channel);
    // Selects the image one step away on one level and shows it.
    void step(int mipmap, int frame, int face, int slice);
    // Re-decodes the current image (after a tone-map change) when one is shown.
    void reselectShownImage();
    void setTileCopiesCurrent();
    void showResources();
    // The icon of an entry that is on (a tick) or off (a cross).
    static QIcon onOffIcon(bool on);
    // Ticks the face-count entry of that many faces, crosses the others.
    void showFaceCountTicks(int faces);
    // A texture this window created or loaded: kept here when the window is
    // empty, else handed to a new window.
    void adopt(CFileVTF *document);
    // Saves to the document's own path, or asks for one; true when the file
    // was written.
    bool saveDocument();
    // The name the title and exported pictures carry: the file's name up to
    // its last suffix, so that a cubemap's "c0.hdr.vtf" stays apart from
    // "c0.vtf"; the display name of a texture without a file.
    QString textureName() const;

    // Wires the menus, the tree and the panel fields to the commands.
    void connectCommands();
    // The tree selection := the image last chosen for the view (also while
    // the thumbnail shows), for the Edit menu's Copy and Paste.
    void selectViewedImage();
    // Normalizes the tree selection: true when it names one image of the
    // document.
    bool selectionNamesOneImage();
    // The save routine: true when the file was written (a failure is shown).
    bool saveTo(const QString &path, bool copy);
    // A refused document operation, in a warning box.
    void showRefusal();
    // The bumpmap or a reflectivity field: `channel` 0..2, or -1 for the bumpmap.
    void unitFieldChanged(QLineEdit *edit, int channel);
    // The resample filter question; false when cancelled.
    bool askResampleFilter(int &filter);
    // The selected image replaced by a picture, resized to its level when
    // the user picks a filter.
    void replaceSelectedImage(const QImage &image);
    // Shows the range widget in an Ok / Cancel dialog; true on Ok, with the
    // bounds it was left at.
    bool askRange(VVTFImageRangeWidget *range, VVTFEditRules::ImageRange &chosen);
    // A range widget starting from a tree selection (see
    // VVTFEditRules::rangeFromSelection).
    VVTFImageRangeWidget *rangeWidget(const VVTFRules::TreeSelection &selection,
                                      bool mipmapGeneration);
    // Reselects and refreshes when the view shows exactly that image.
    void refreshIfShown(int mipmap, int frame, int face, int slice);
    // Writes one picture through a temporary file; false (shown) on failure.
    bool writePicture(const QImage &picture, const QString &path);

    quint32 m_viewFlags = VTF_CHANNEL_COLOR;
    quint8 m_currentMipmap = 0;
    quint16 m_currentFrame = 0;
    quint8 m_currentFace = 0;
    quint16 m_currentSlice = 0;
    bool m_imageShown = false;
    QByteArray m_displayBuffer;
    quint16 m_displayWidth = 0;
    quint16 m_displayHeight = 0;
    QTimer m_animationTimer;
    CFileVTF *m_document = nullptr;
    QSize m_naturalSize;
};
