// The detail editor's option panels: which records they show and how the
// values typed into them are stored.
#include "VVBSP.h"

#include "CConfig.h"
#include "CFileVBSP.h"
#include "VVBSPPanels.h"
#include "VVBSPTreeWidgetItem.h"
#include "VbspFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

#include <cfloat>

namespace {

constexpr double NoUpperBound = FLT_MAX;

template <typename T>
T bounded(T value, T low, T high)
{
    return value < low ? low : (value > high ? high : value);
}

} // namespace

void VVBSP::connectPanels()
{
    VVBSPPanels *p = m_panels;
    for (QLineEdit *edit : p->lineEdits())
        connect(edit, &QLineEdit::textEdited, this, &VVBSP::lineEditEdited);
    const auto finished = [this](QLineEdit *edit, void (VVBSP::*slot)()) {
        connect(edit, &QLineEdit::editingFinished, this, slot);
    };
    finished(p->density, &VVBSP::detailtypeDensityEditEdited);
    finished(p->alpha, &VVBSP::detailgroupAlphaEditEdited);
    finished(p->amount, &VVBSP::detailpropEdit_amountEdited);
    finished(p->randomScale, &VVBSP::detailpropEdit_spriterandomscaleEdited);
    finished(p->minAngle, &VVBSP::detailpropEdit_minangleEdited);
    finished(p->maxAngle, &VVBSP::detailpropEdit_maxangleEdited);
    finished(p->model, &VVBSP::detailpropEdit_modelEdited);
    finished(p->xOrigin, &VVBSP::detailpropEdit_xOriginEdited);
    finished(p->yOrigin, &VVBSP::detailpropEdit_yOriginEdited);
    finished(p->xWidth, &VVBSP::detailpropEdit_xWidthEdited);
    finished(p->yHeight, &VVBSP::detailpropEdit_yHeightEdited);
    finished(p->uOrigin, &VVBSP::detailpropEdit_uOriginEdited);
    finished(p->vOrigin, &VVBSP::detailpropEdit_vOriginEdited);
    finished(p->uWidth, &VVBSP::detailpropEdit_uWidthEdited);
    finished(p->vHeight, &VVBSP::detailpropEdit_vHeightEdited);
    finished(p->sway, &VVBSP::detailpropEdit_swayEdited);
    finished(p->shapeAngle, &VVBSP::detailpropEdit_shape_angleEdited);
    finished(p->shapeSize, &VVBSP::detailpropEdit_shape_sizeEdited);
    connect(p->model, &QLineEdit::textChanged, this, &VVBSP::detailpropEdit_modelChanged);
    connect(p->orientation, qOverload<int>(&QComboBox::activated), this,
            &VVBSP::detailpropCombo_detailOrientationChanged);
    connect(p->shape, qOverload<int>(&QComboBox::activated), this,
            &VVBSP::detailpropCombo_sprite_shapeChanged);
    connect(p->upright, &QCheckBox::clicked, this, &VVBSP::detailpropCheck_UprightClicked);
}

void VVBSP::currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_currentItem = static_cast<VVBSPTreeWidgetItem *>(current);
    CDetailType *type = nullptr;
    CDetailGroup *group = nullptr;
    CDetailProp *prop = nullptr;
    if (VVBSPTreeWidgetItem *item = m_currentItem) {
        const auto parent = static_cast<VVBSPTreeWidgetItem *>(item->parent());
        const auto grandparent =
            parent ? static_cast<VVBSPTreeWidgetItem *>(parent->parent()) : nullptr;
        if (item->type) {
            type = item->type;
        } else if (item->group) {
            type = parent ? parent->type : nullptr;
            group = item->group;
        } else {
            type = grandparent ? grandparent->type : nullptr;
            group = parent ? parent->group : nullptr;
            prop = item->prop;
        }
    }
    // Without an item every panel empties; otherwise a panel is redrawn only
    // when its record changes, except that a type or group item always
    // empties the panels below it.
    const bool all = !m_currentItem;
    if (all || type != m_currentType) {
        m_currentType = type;
        refreshTypePanel();
    }
    if (all || group != m_currentGroup || !group) {
        m_currentGroup = group;
        refreshGroupPanel();
    }
    if (all || prop != m_currentProp || !prop) {
        m_currentProp = prop;
        refreshPropPanel();
    }
}

void VVBSP::refreshTypePanel()
{
    m_panels->showType(m_currentType);
}

void VVBSP::refreshGroupPanel()
{
    m_panels->showGroup(m_currentGroup);
}

void VVBSP::refreshPropPanel()
{
    m_panels->showProp(m_currentProp);
}

// Text that does not convert counts as 0.
void VVBSP::storeReal(QLineEdit *edit, float *field, double low, double high)
{
    if (!field)
        return;
    *field = float(bounded(edit->text().toDouble(), low, high));
    edit->setText(VVBSPPanels::realText(*field));
}

void VVBSP::storeInteger(QLineEdit *edit, int32_t *field, int32_t low, int32_t high)
{
    if (!field)
        return;
    *field = int32_t(bounded(edit->text().toLongLong(), qint64(low), qint64(high)));
    edit->setText(VVBSPPanels::integerText(*field));
}

float *VVBSP::propReal(float CDetailProp::*field) const
{
    return m_currentProp ? &(m_currentProp->*field) : nullptr;
}

int32_t *VVBSP::propInteger(int32_t CDetailProp::*field) const
{
    return m_currentProp ? &(m_currentProp->*field) : nullptr;
}

void VVBSP::detailtypeDensityEditEdited()
{
    if (!m_currentType)
        return;
    storeReal(m_panels->density, &m_currentType->density, 0.0, NoUpperBound);
    setWindowModified(true);
}

void VVBSP::detailgroupAlphaEditEdited()
{
    storeReal(m_panels->alpha, m_currentGroup ? &m_currentGroup->alpha : nullptr, 0.0, 1.0);
}

void VVBSP::detailpropEdit_amountEdited()
{
    storeReal(m_panels->amount, propReal(&CDetailProp::amount), 0.0, 1.0);
}

void VVBSP::detailpropEdit_spriterandomscaleEdited()
{
    storeReal(m_panels->randomScale, propReal(&CDetailProp::spriterandomscale), 0.0, 1.0);
}

void VVBSP::detailpropEdit_minangleEdited()
{
    if (m_currentProp)
        storeReal(m_panels->minAngle, &m_currentProp->minangle, 0.0, m_currentProp->maxangle);
}

void VVBSP::detailpropEdit_maxangleEdited()
{
    if (m_currentProp)
        storeReal(m_panels->maxAngle, &m_currentProp->maxangle, m_currentProp->minangle,
                  VbspFile::MaxAngle);
}

void VVBSP::detailpropCombo_detailOrientationChanged(int index)
{
    if (!m_currentProp)
        return;
    if (index != m_currentProp->detailOrientation)
        setWindowModified(true);
    m_currentProp->detailOrientation = bounded(index, 0, VbspFile::MaxOrientation);
}

void VVBSP::detailpropCheck_UprightClicked(bool checked)
{
    if (!m_currentProp || m_currentProp->upright == checked)
        return;
    m_currentProp->upright = checked;
    setWindowModified(true);
}

void VVBSP::detailpropEdit_modelEdited()
{
    if (m_currentProp)
        m_currentProp->model = m_panels->model->text().trimmed().toLatin1().toStdString();
}

void VVBSP::detailpropEdit_modelChanged(const QString &text)
{
    m_panels->applyModelRule(text);
}

void VVBSP::detailpropEdit_xOriginEdited()
{
    storeInteger(m_panels->xOrigin, propInteger(&CDetailProp::xOrigin), 0,
                 VbspFile::MaxSpriteCoordinate);
}

void VVBSP::detailpropEdit_yOriginEdited()
{
    storeInteger(m_panels->yOrigin, propInteger(&CDetailProp::yOrigin), 0,
                 VbspFile::MaxSpriteCoordinate);
}

void VVBSP::detailpropEdit_xWidthEdited()
{
    storeInteger(m_panels->xWidth, propInteger(&CDetailProp::xWidth), 0,
                 VbspFile::MaxSpriteCoordinate);
}

void VVBSP::detailpropEdit_yHeightEdited()
{
    storeInteger(m_panels->yHeight, propInteger(&CDetailProp::yHeight), 0,
                 VbspFile::MaxSpriteCoordinate);
}

void VVBSP::detailpropEdit_uOriginEdited()
{
    storeReal(m_panels->uOrigin, propReal(&CDetailProp::uOrigin), 0.0, 1.0);
}

void VVBSP::detailpropEdit_vOriginEdited()
{
    storeReal(m_panels->vOrigin, propReal(&CDetailProp::vOrigin), 0.0, 1.0);
}

// Width and height are world units, as the file holds them.
void VVBSP::detailpropEdit_uWidthEdited()
{
    storeReal(m_panels->uWidth, propReal(&CDetailProp::uWidth), 0.0, VbspFile::MaxSpriteSize);
}

void VVBSP::detailpropEdit_vHeightEdited()
{
    storeReal(m_panels->vHeight, propReal(&CDetailProp::vHeight), 0.0, VbspFile::MaxSpriteSize);
}

void VVBSP::detailpropCombo_sprite_shapeChanged(int index)
{
    const QStringList &keys = CConfig::instance()->spriteshapes;
    if (m_currentProp && index >= 0 && index < keys.size()) {
        const std::string key = keys.at(index).toLatin1().toStdString();
        if (key != m_currentProp->sprite_shape) {
            m_currentProp->sprite_shape = key;
            setWindowModified(true);
        }
    }
    m_panels->applyShapeRule(index);
}

void VVBSP::detailpropEdit_swayEdited()
{
    storeReal(m_panels->sway, propReal(&CDetailProp::sway), 0.0, 1.0);
}

void VVBSP::detailpropEdit_shape_angleEdited()
{
    storeReal(m_panels->shapeAngle, propReal(&CDetailProp::shape_angle), 0.0, VbspFile::MaxAngle);
}

void VVBSP::detailpropEdit_shape_sizeEdited()
{
    storeReal(m_panels->shapeSize, propReal(&CDetailProp::shape_size), 0.0, 1.0);
}
