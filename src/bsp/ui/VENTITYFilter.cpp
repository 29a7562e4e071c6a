// The entity editor's text filter and its searches in a box and a sphere.
#include "VENTITY.h"

#include "CPrompt.h"
#include "EntitySearch.h"
#include "VEntityListWidgetItem.h"
#include "VEntitySearchDialog.h"

#include <QAction>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>

#include <memory>

namespace S = EntitySearch;

void VENTITY::updateFilterTitle()
{
    m_filterBox->setTitle(
        QStringLiteral("Filter Options (%1/%2)").arg(m_visibleCount).arg(m_entityList->count()));
}

void VENTITY::toggleFilter(int flag)
{
    m_filterFlags ^= flag;
    // Bit n is the option's position in the menu.
    int index = 0;
    while ((1 << index) != flag)
        ++index;
    const bool on = m_filterFlags & flag;
    m_filterActions[index]->setIcon(QIcon(on ? QStringLiteral(":/resources/icons/tick")
                                             : QStringLiteral(":/resources/icons/cross")));
}

void VENTITY::filterToggleClassname()
{
    toggleFilter(S::ClassName);
}

void VENTITY::filterToggleKey()
{
    toggleFilter(S::Key);
}

void VENTITY::filterToggleValue()
{
    toggleFilter(S::Value);
}

void VENTITY::filterToggleCaseSensitive()
{
    toggleFilter(S::CaseSensitive);
}

void VENTITY::filterToggleSubstring()
{
    toggleFilter(S::Substring);
}

void VENTITY::filterToggleIgnoreHidden()
{
    toggleFilter(S::IgnoreHidden);
}

void VENTITY::filterToggleInvertResults()
{
    toggleFilter(S::InvertResults);
}

void VENTITY::clearFilter()
{
    m_filterEdit->clear();
    filterEntities();
}

void VENTITY::finishFilter()
{
    m_visibleCount = 0;
    for (int row = 0; row < m_entityList->count(); ++row) {
        if (!m_entityList->isRowHidden(row))
            ++m_visibleCount;
    }
    const int current = m_entityList->currentRow();
    if (current >= 0 && m_entityList->isRowHidden(current)) {
        m_entityList->clearSelection();
        m_entityList->setCurrentRow(-1);
    }
    updateFilterTitle();
}

void VENTITY::filterEntities()
{
    const QString text = m_filterEdit->text();
    const bool invert = m_filterFlags & S::InvertResults;
    const bool ignoreHidden = m_filterFlags & S::IgnoreHidden;
    for (int row = 0; row < m_entityList->count(); ++row) {
        if (text.isEmpty()) {
            m_entityList->setRowHidden(row, invert);
            continue;
        }
        // With Ignore Hidden a second filter only narrows the first.
        if (ignoreHidden && m_entityList->isRowHidden(row))
            continue;
        const bool matched = S::matches(*entityAt(row), text, m_filterFlags);
        m_entityList->setRowHidden(row, matched == invert);
    }
    finishFilter();
}

template <typename Inside>
void VENTITY::searchInSpace(const Inside &inside)
{
    const bool ignoreHidden = m_filterFlags & S::IgnoreHidden;
    for (int row = 0; row < m_entityList->count(); ++row) {
        if (ignoreHidden && m_entityList->isRowHidden(row))
            continue;
        CVector3 point;
        const bool shown = S::origin(*entityAt(row), point) && inside(point);
        m_entityList->setRowHidden(row, !shown);
    }
    finishFilter();
}

void VENTITY::findEntitiesInRectangularPrism()
{
    std::unique_ptr<VEntitySearchDialog> dialog(VEntitySearchDialog::box(this));
    if (CPrompt::exec(dialog.get()) != QDialog::Accepted)
        return;
    const QStringList texts = dialog->texts();
    CVector3 minimum;
    CVector3 maximum;
    if (!S::toVector(texts.mid(0, 3), minimum) || !S::toVector(texts.mid(3, 3), maximum))
        return;
    S::orderBox(minimum, maximum);
    searchInSpace([&](const CVector3 &point) { return S::inBox(point, minimum, maximum); });
}

void VENTITY::findEntitiesInSphere()
{
    std::unique_ptr<VEntitySearchDialog> dialog(VEntitySearchDialog::sphere(this));
    if (CPrompt::exec(dialog.get()) != QDialog::Accepted)
        return;
    const QStringList texts = dialog->texts();
    CVector3 centre;
    if (!S::toVector(texts.mid(0, 3), centre))
        return;
    // A radius that does not convert finds nothing.
    bool radiusOk = false;
    const float radius = texts.value(3).toFloat(&radiusOk);
    searchInSpace(
        [&](const CVector3 &point) { return radiusOk && S::inSphere(point, centre, radius); });
}
