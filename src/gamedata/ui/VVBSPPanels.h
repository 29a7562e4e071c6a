#pragma once

#include <QList>
#include <QString>

class CDetailGroup;
class CDetailProp;
class CDetailType;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QWidget;

// The option panels of the detail editor: the fields of the current type,
// group and prop, how each value is shown, and which fields a prop's kind
// and shape enable. The window places the boxes and stores what is edited.
class VVBSPPanels
{
public:
    // Builds the boxes, unparented until the window lays them out.
    VVBSPPanels();

    // Empty and disabled without a record.
    void showType(const CDetailType *type);
    void showGroup(const CDetailGroup *group);
    // Shows the prop and applies the model rule.
    void showProp(const CDetailProp *prop);

    // A prop with a model edits only its amount and model.
    void applyModelRule(const QString &model);
    // Sway for every shape but the plain one; angle and offset for the
    // second ("[spriteshapes]" order).
    void applyShapeRule(int index);

    // Every line edit of the three panels.
    QList<QLineEdit *> lineEdits() const;

    // The display forms of values.
    static QString realText(float value);
    static QString integerText(int value);

    QGroupBox *typeBox = nullptr;
    QGroupBox *groupBox = nullptr;
    QGroupBox *propBox = nullptr;
    QGroupBox *shapeBox = nullptr;

    QLineEdit *density = nullptr;
    QLineEdit *alpha = nullptr;

    QLineEdit *amount = nullptr;
    QLineEdit *randomScale = nullptr;
    QLineEdit *minAngle = nullptr;
    QLineEdit *maxAngle = nullptr;
    QComboBox *orientation = nullptr;
    QCheckBox *upright = nullptr;
    QLineEdit *model = nullptr;
    // Texture Parameters: the sprite's rectangle in the detail sheet.
    QLineEdit *xOrigin = nullptr;
    QLineEdit *yOrigin = nullptr;
    QLineEdit *xWidth = nullptr;
    QLineEdit *yHeight = nullptr;
    // Sprite Parameters: the four "spritesize" values.
    QLineEdit *uOrigin = nullptr;
    QLineEdit *vOrigin = nullptr;
    QLineEdit *uWidth = nullptr;
    QLineEdit *vHeight = nullptr;
    QComboBox *shape = nullptr;
    QLineEdit *sway = nullptr;
    QLineEdit *shapeAngle = nullptr;
    QLineEdit *shapeSize = nullptr;

private:
    void buildPropBox();
    void setSpriteFieldsEnabled(bool enabled);
    void fillCombos(const CDetailProp *prop);
    QLineEdit *realEdit(const char *objectName);
    QLineEdit *integerEdit(const char *objectName);
};
