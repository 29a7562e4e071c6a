#include "VVTF.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

// The menus, the image tree and the panel fields wired to the commands that
// save, copy, paste, reshape and edit the texture.

void VVTF::connectCommands()
{
    connect(actionSave, &QAction::triggered, this, &VVTF::vtfSave);
    connect(actionSaveAs, &QAction::triggered, this, &VVTF::vtfSaveAs);
    connect(actionSaveCopyAs, &QAction::triggered, this, &VVTF::vtfSaveCopyAs);
    connect(actionExport, &QAction::triggered, this, &VVTF::vtfExport);

    connect(actionCopy, &QAction::triggered, this, &VVTF::vtfMenuCopy);
    connect(actionPaste, &QAction::triggered, this, &VVTF::vtfMenuPaste);
    connect(actionComputeReflectivity, &QAction::triggered, this,
            &VVTF::vtfMenuComputeReflectivity);
    connect(actionCorrectGamma, &QAction::triggered, this, &VVTF::vtfMenuCorrectGamma);
    connect(actionGenerateMipmaps, &QAction::triggered, this, &VVTF::vtfMenuGenerateMipmaps);
    connect(actionGenerateSpheremaps, &QAction::triggered, this, &VVTF::vtfMenuGenerateSpheremaps);
    connect(actionMipmapCount, &QAction::triggered, this, &VVTF::vtfSetMipmaps);
    connect(actionFrameCount, &QAction::triggered, this, &VVTF::vtfSetFrames);
    connect(actionFacesOne, &QAction::triggered, this, &VVTF::vtfSetFacesOne);
    connect(actionFacesSix, &QAction::triggered, this, &VVTF::vtfSetFacesSix);
    connect(actionFacesSeven, &QAction::triggered, this, &VVTF::vtfSetFacesSeven);
    connect(actionSliceCount, &QAction::triggered, this, &VVTF::vtfSetSlices);

    connect(treeActionCopy, &QAction::triggered, this, &VVTF::vtfCopy);
    connect(treeActionPaste, &QAction::triggered, this, &VVTF::vtfPaste);
    connect(treeActionFromFile, &QAction::triggered, this, &VVTF::vtfTreeFromFile);
    connect(treeActionFromImage, &QAction::triggered, this, &VVTF::vtfTreeFromImage);
    connect(treeActionCorrectGamma, &QAction::triggered, this, &VVTF::vtfCorrectGamma);
    connect(treeActionComputeReflectivity, &QAction::triggered, this,
            &VVTF::vtfComputeReflectivity);
    connect(treeActionGenerateMipmaps, &QAction::triggered, this, &VVTF::vtfGenerateMipmaps);
    connect(treeActionGenerateSpheremaps, &QAction::triggered, this, &VVTF::vtfGenerateSpheremaps);
    connect(imageTree, &QTreeWidget::itemClicked, this, &VVTF::vtfTreeItemClicked);
    connect(imageTree, &QWidget::customContextMenuRequested, this, &VVTF::vtfTreeContextMenu);

    connect(flagList, &QListWidget::itemClicked, this, &VVTF::vtfFlagItemClicked);
    connect(versionBox, qOverload<int>(&QComboBox::activated), this, &VVTF::vtfFileVersionChanged);
    connect(thumbnailFormatBox, qOverload<int>(&QComboBox::activated), this,
            &VVTF::vtfLowResImageFormatChanged);
    connect(imageFormatBox, qOverload<int>(&QComboBox::activated), this,
            &VVTF::vtfHighResImageFormatChanged);
    connect(firstFrameEdit, &QLineEdit::editingFinished, this, &VVTF::vtfFirstFrameChanged);
    connect(bumpmapEdit, &QLineEdit::editingFinished, this, &VVTF::vtfBumpmapChanged);
    connect(reflectivityRedEdit, &QLineEdit::editingFinished, this,
            &VVTF::vtfReflectivityRedChanged);
    connect(reflectivityGreenEdit, &QLineEdit::editingFinished, this,
            &VVTF::vtfReflectivityGreenChanged);
    connect(reflectivityBlueEdit, &QLineEdit::editingFinished, this,
            &VVTF::vtfReflectivityBlueChanged);
    connect(crcGroup, &QGroupBox::clicked, this, &VVTF::vtfCRCToggled);
    connect(lodGroup, &QGroupBox::clicked, this, &VVTF::vtfLODToggled);
    for (QLineEdit *clamp : {lodClampX, lodClampY, lodXboxClampX, lodXboxClampY})
        connect(clamp, &QLineEdit::editingFinished, this, &VVTF::vtfLODClampValuesChanged);
    connect(textureSettingsGroup, &QGroupBox::clicked, this, &VVTF::vtfTS0Toggled);
    connect(textureSettingsEdit, &QLineEdit::editingFinished, this, &VVTF::vtfTS0Changed);
}
