#include "VVBSPPanels.h"

#include "CConfig.h"
#include "CFileVBSP.h"
#include "NamedWidget.h"
#include "functions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

// Values are typed and shown with a full stop whatever the user's locale,
// as the file stores them.
QLocale numberLocale()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    return locale;
}

QString latin1(const std::string &text)
{
    return QString::fromLatin1(text.data(), int(text.size()));
}

QGroupBox *newBox(const QString &title, const char *objectName)
{
    return namedWidget<QGroupBox>(objectName, title);
}

QFormLayout *newForm(const QList<QPair<QString, QWidget *>> &rows)
{
    auto *form = new QFormLayout;
    for (const auto &row : rows)
        form->addRow(row.first, row.second);
    return form;
}

QHBoxLayout *newRow(const QList<QLayout *> &layouts)
{
    auto *row = new QHBoxLayout;
    for (QLayout *layout : layouts)
        row->addLayout(layout);
    return row;
}

// The first key that the whole shape matches, read as a pattern without
// regard to case; the plain first entry when none does.
int shapeIndex(const std::string &shape)
{
    const QStringList &keys = CConfig::instance()->spriteshapes;
    for (int i = 0; i < keys.size(); ++i) {
        const QRegularExpression pattern(QRegularExpression::anchoredPattern(keys.at(i)),
                                         QRegularExpression::CaseInsensitiveOption);
        if (pattern.isValid() && pattern.match(latin1(shape)).hasMatch())
            return i;
    }
    return 0;
}

} // namespace

VVBSPPanels::VVBSPPanels()
{
    density = realEdit("detailtypeDensityEdit");
    typeBox = newBox(QStringLiteral("Detail Type Options"), "detailTypeOptions");
    typeBox->setLayout(newForm({{QStringLiteral("Density:"), density}}));
    typeBox->setEnabled(false);

    alpha = realEdit("detailgroupAlphaEdit");
    groupBox = newBox(QStringLiteral("Detail Group Options"), "detailGroupOptions");
    groupBox->setLayout(newForm({{QStringLiteral("Alpha:"), alpha}}));
    groupBox->setEnabled(false);

    buildPropBox();
}

void VVBSPPanels::buildPropBox()
{
    amount = realEdit("detailpropEdit_amount");
    randomScale = realEdit("detailpropEdit_spriterandomscale");
    minAngle = realEdit("detailpropEdit_minangle");
    maxAngle = realEdit("detailpropEdit_maxangle");
    orientation = namedWidget<QComboBox>("detailpropCombo_detailOrientation");
    upright = namedWidget<QCheckBox>("detailpropCheck_Upright", QStringLiteral("Upright"));
    model = namedWidget<QLineEdit>("detailpropEdit_model");
    xOrigin = integerEdit("detailpropEdit_xOrigin");
    yOrigin = integerEdit("detailpropEdit_yOrigin");
    xWidth = integerEdit("detailpropEdit_xWidth");
    yHeight = integerEdit("detailpropEdit_yHeight");
    uOrigin = realEdit("detailpropEdit_uOrigin");
    vOrigin = realEdit("detailpropEdit_vOrigin");
    uWidth = realEdit("detailpropEdit_uWidth");
    vHeight = realEdit("detailpropEdit_vHeight");
    shape = namedWidget<QComboBox>("detailpropCombo_sprite_shape");
    sway = realEdit("detailpropEdit_sway");
    shapeAngle = realEdit("detailpropEdit_shape_angle");
    shapeSize = realEdit("detailpropEdit_shape_size");

    const QString xLabel = QStringLiteral("X Origin:");
    const QString yLabel = QStringLiteral("Y Origin:");
    const QString widthLabel = QStringLiteral("Width:");
    const QString heightLabel = QStringLiteral("Height:");
    QGroupBox *texture = newBox(QStringLiteral("Texture Parameters"), "textureParameters");
    texture->setLayout(newForm(
        {{xLabel, xOrigin}, {yLabel, yOrigin}, {widthLabel, xWidth}, {heightLabel, yHeight}}));
    QGroupBox *sprite = newBox(QStringLiteral("Sprite Parameters"), "spriteParameters");
    sprite->setLayout(newForm(
        {{xLabel, uOrigin}, {yLabel, vOrigin}, {widthLabel, uWidth}, {heightLabel, vHeight}}));

    shapeBox = newBox(QStringLiteral("Detail Shape Options"), "detailShapeOptions");
    shapeBox->setLayout(
        newRow({newForm({{QStringLiteral("Shape:"), shape}, {QStringLiteral("Sway:"), sway}}),
                newForm({{QStringLiteral("Angle:"), shapeAngle},
                         {QStringLiteral("Offset:"), shapeSize}})}));

    auto *orientationRow = newRow({newForm({{QStringLiteral("Orientation:"), orientation}})});
    orientationRow->addWidget(upright);
    auto *boxes = new QHBoxLayout;
    boxes->addWidget(texture);
    boxes->addWidget(sprite);

    auto *layout = new QVBoxLayout;
    layout->addLayout(newRow({newForm({{QStringLiteral("Amount:"), amount},
                                       {QStringLiteral("Random Scale:"), randomScale}}),
                              newForm({{QStringLiteral("Min. Angle:"), minAngle},
                                       {QStringLiteral("Max. Angle:"), maxAngle}})}));
    layout->addLayout(orientationRow);
    layout->addLayout(newForm({{QStringLiteral("Model:"), model}}));
    layout->addLayout(boxes);
    layout->addWidget(shapeBox);
    layout->addStretch();
    propBox = newBox(QStringLiteral("Detail Prop Options"), "detailPropOptions");
    propBox->setLayout(layout);
    propBox->setEnabled(false);

    const CConfig *config = CConfig::instance();
    orientation->addItems(config->detailorientations);
    shape->addItems(config->spriteshapeLabels);
}

QLineEdit *VVBSPPanels::realEdit(const char *objectName)
{
    auto *edit = namedWidget<QLineEdit>(objectName);
    auto *validator = new QDoubleValidator(edit);
    validator->setDecimals(6);
    validator->setLocale(numberLocale());
    edit->setValidator(validator);
    return edit;
}

QLineEdit *VVBSPPanels::integerEdit(const char *objectName)
{
    auto *edit = namedWidget<QLineEdit>(objectName);
    auto *validator = new QIntValidator(edit);
    validator->setLocale(numberLocale());
    edit->setValidator(validator);
    return edit;
}

QString VVBSPPanels::realText(float value)
{
    return formatFloat(double(value), 6);
}

QString VVBSPPanels::integerText(int value)
{
    return QString::number(value);
}

void VVBSPPanels::showType(const CDetailType *type)
{
    typeBox->setEnabled(type);
    density->setText(type ? realText(type->density) : QString());
}

void VVBSPPanels::showGroup(const CDetailGroup *group)
{
    groupBox->setEnabled(group);
    alpha->setText(group ? realText(group->alpha) : QString());
}

void VVBSPPanels::showProp(const CDetailProp *prop)
{
    propBox->setEnabled(prop);
    const auto real = [prop](float CDetailProp::*field) {
        return prop ? realText(prop->*field) : QString();
    };
    const auto integer = [prop](int32_t CDetailProp::*field) {
        return prop ? integerText(prop->*field) : QString();
    };
    randomScale->setText(real(&CDetailProp::spriterandomscale));
    amount->setText(real(&CDetailProp::amount));
    maxAngle->setText(real(&CDetailProp::maxangle));
    minAngle->setText(real(&CDetailProp::minangle));
    fillCombos(prop);
    upright->setChecked(prop && prop->upright);
    model->setText(prop ? latin1(prop->model) : QString());
    xOrigin->setText(integer(&CDetailProp::xOrigin));
    yOrigin->setText(integer(&CDetailProp::yOrigin));
    xWidth->setText(integer(&CDetailProp::xWidth));
    yHeight->setText(integer(&CDetailProp::yHeight));
    uOrigin->setText(real(&CDetailProp::uOrigin));
    vOrigin->setText(real(&CDetailProp::vOrigin));
    uWidth->setText(real(&CDetailProp::uWidth));
    vHeight->setText(real(&CDetailProp::vHeight));
    sway->setText(real(&CDetailProp::sway));
    shapeAngle->setText(real(&CDetailProp::shape_angle));
    shapeSize->setText(real(&CDetailProp::shape_size));
    // The model field's own change signal applies the rule only when its
    // text changes; a prop shown after another of the same kind needs it too.
    applyModelRule(model->text());
}

void VVBSPPanels::fillCombos(const CDetailProp *prop)
{
    if (!prop) {
        orientation->clear();
        shape->clear();
        return;
    }
    const CConfig *config = CConfig::instance();
    if (orientation->count() == 0)
        orientation->addItems(config->detailorientations);
    orientation->setCurrentIndex(prop->detailOrientation);
    if (shape->count() == 0)
        shape->addItems(config->spriteshapeLabels);
    shape->setCurrentIndex(shapeIndex(prop->sprite_shape));
}

void VVBSPPanels::applyModelRule(const QString &modelText)
{
    setSpriteFieldsEnabled(modelText.isEmpty());
}

void VVBSPPanels::setSpriteFieldsEnabled(bool enabled)
{
    for (QWidget *field : std::initializer_list<QWidget *>{
             randomScale, minAngle, maxAngle, orientation, upright, xOrigin, yOrigin, xWidth,
             yHeight, uOrigin, vOrigin, uWidth, vHeight, shape, sway, shapeAngle, shapeSize})
        field->setEnabled(enabled);
}

void VVBSPPanels::applyShapeRule(int index)
{
    sway->setEnabled(index != 0);
    shapeAngle->setEnabled(index == 1);
    shapeSize->setEnabled(index == 1);
}

QList<QLineEdit *> VVBSPPanels::lineEdits() const
{
    return {density, alpha,   amount,  randomScale, minAngle,   maxAngle,
            model,   xOrigin, yOrigin, xWidth,      yHeight,    uOrigin,
            vOrigin, uWidth,  vHeight, sway,        shapeAngle, shapeSize};
}
