// The entity editor's edits: entities added, copied and deleted, pairs added,
// copied, deleted and edited in place, and the labels that follow them.
#include "VENTITY.h"

#include "BspErrors.h"
#include "EntityLump.h"
#include "VEntityListWidgetItem.h"
#include "uifunctions.h"

#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

namespace {

constexpr int RowHeight = 15;
const QString ClassName = QStringLiteral("classname");
const QString InfoNull = QStringLiteral("info_null");

} // namespace

VEntityListWidgetItem *VENTITY::entityAt(int row) const
{
    return static_cast<VEntityListWidgetItem *>(m_entityList->item(row));
}

QVector<const CEntity *> VENTITY::entities() const
{
    QVector<const CEntity *> list;
    list.reserve(m_entityList->count());
    for (int row = 0; row < m_entityList->count(); ++row)
        list.append(entityAt(row));
    return list;
}

void VENTITY::labelEntity(VEntityListWidgetItem *entity)
{
    if (!entity)
        return;
    if (!entity->hasKey(ClassName)) {
        // The shown entity's table gets the row too.
        if (entity == m_currentEntity)
            addKeyValue(ClassName, InfoNull);
        else
            EntityLump::giveClassname(*entity);
        setWindowModified(true);
    }
    entity->setText(entity->label());
}

void VENTITY::normalizeEntities()
{
    const QVector<int> surplus = EntityLump::surplusWorlds(entities());
    // From the last, so that the rows still to go keep their numbers.
    for (int i = surplus.size() - 1; i >= 0; --i)
        removeEntityRow(surplus[i]);
    for (int row = 0; row < m_entityList->count(); ++row) {
        VEntityListWidgetItem *entity = entityAt(row);
        if (!EntityLump::isWorld(*entity))
            labelEntity(entity);
    }
}

void VENTITY::appendEntities(QVector<CEntity> parsed)
{
    QVector<const CEntity *> view;
    view.reserve(parsed.size());
    for (const CEntity &entity : parsed)
        view.append(&entity);
    // Dropped before they join the list (as normalising would drop them),
    // so that text full of world entities costs no row removals.
    const bool haveWorld = !EntityLump::surplusWorlds(entities(), true).isEmpty();
    const QVector<int> surplus = EntityLump::surplusWorlds(view, haveWorld);
    int next = 0;
    for (int i = 0; i < parsed.size(); ++i) {
        if (next < surplus.size() && surplus[next] == i) {
            ++next;
            continue;
        }
        auto *entity = new VEntityListWidgetItem(std::move(parsed[i]));
        labelEntity(entity);
        m_entityList->addItem(entity);
    }
    normalizeEntities();
    clearFilter();
}

void VENTITY::removeEntityRow(int row)
{
    auto *entity = static_cast<VEntityListWidgetItem *>(m_entityList->takeItem(row));
    // The table must not go on showing a record that is about to go.
    if (entity && entity == m_currentEntity)
        entityListRowChanged(m_entityList->currentRow());
    delete entity;
}

void VENTITY::insertEntity(int row, VEntityListWidgetItem *entity)
{
    m_entityList->insertItem(row, entity);
    m_entityList->clearSelection();
    m_entityList->setCurrentItem(entity);
    ++m_visibleCount;
    updateFilterTitle();
    setWindowModified(true);
}

void VENTITY::insertTableRow(int row, const QString &key, const QString &value)
{
    m_keyvalueTable->insertRow(row);
    m_keyvalueTable->setRowHeight(row, RowHeight);
    m_keyvalueTable->setItem(row, 0, new QTableWidgetItem(key));
    m_keyvalueTable->setItem(row, 1, new QTableWidgetItem(value));
}

void VENTITY::entityListRowChanged(int row)
{
    m_keyvalueTable->clearContents();
    m_editedItem = nullptr;
    m_currentEntity = row < 0 ? nullptr : entityAt(row);
    const bool haveEntity = m_currentEntity != nullptr;
    m_entityCopyButton->setEnabled(haveEntity);
    m_entityDeleteButton->setEnabled(haveEntity);
    m_keyvalueAddButton->setEnabled(haveEntity);
    m_keyvalueTable->setRowCount(0);
    if (!haveEntity)
        return;
    const QVector<CEntityKeyValue> &pairs = m_currentEntity->pairs();
    for (int i = 0; i < pairs.size(); ++i)
        insertTableRow(i, pairs[i].key, pairs[i].value);
    // Long keys show whole; the values keep at least half the table.
    fitColumnToContents(m_keyvalueTable, 0, m_keyvalueTable->viewport()->width() / 2);
}

void VENTITY::entityAdd()
{
    auto *entity = new VEntityListWidgetItem(CEntity(), InfoNull);
    entity->insertKeyValue(ClassName, InfoNull);
    const int current = m_entityList->currentRow();
    insertEntity(current >= 0 ? current + 1 : m_entityList->count(), entity);
}

void VENTITY::entityCopy()
{
    if (!m_currentEntity)
        return;
    // Every pair, repeated keys included: an entity's outputs share names.
    insertEntity(m_entityList->row(m_currentEntity) + 1,
                 new VEntityListWidgetItem(static_cast<const CEntity &>(*m_currentEntity),
                                           m_currentEntity->text()));
}

void VENTITY::entityDelete()
{
    if (!m_currentEntity)
        return;
    removeEntityRow(m_entityList->row(m_currentEntity));
    setWindowModified(true);
    --m_visibleCount;
    updateFilterTitle();
}

void VENTITY::addKeyValue(const QString &key, const QString &value)
{
    if (!m_currentEntity)
        return;
    const int current = m_keyvalueTable->currentRow();
    const int rows = m_keyvalueTable->rowCount();
    const int row = qBound(0, current >= 0 ? current + 1 : rows, rows);
    insertTableRow(row, key, value);
    m_currentEntity->insertKeyValue(key, value, row);
    setWindowModified(true);
}

void VENTITY::keyvalueAdd()
{
    addKeyValue(QStringLiteral("newKey"), QStringLiteral("newValue"));
}

void VENTITY::keyvalueCopy()
{
    const int row = m_keyvalueTable->currentRow();
    if (!m_currentEntity || row < 0)
        return;
    const QTableWidgetItem *key = m_keyvalueTable->item(row, 0);
    const QTableWidgetItem *value = m_keyvalueTable->item(row, 1);
    const QString keyText = key ? key->text() : QString();
    const QString valueText = value ? value->text() : QString();
    insertTableRow(row + 1, keyText, valueText);
    m_currentEntity->insertKeyValue(keyText, valueText, row + 1);
    setWindowModified(true);
}

void VENTITY::keyvalueDelete()
{
    const int row = m_keyvalueTable->currentRow();
    if (row < 0)
        return;
    if (m_currentEntity && row < m_currentEntity->pairCount())
        m_currentEntity->pairs().remove(row);
    m_keyvalueTable->removeRow(row);
    labelEntity(m_currentEntity);
    setWindowModified(true);
}

void VENTITY::keyvalueTableCurrentItemChanged(QTableWidgetItem *, QTableWidgetItem *previous)
{
    if (previous && previous == m_editedItem)
        m_editedItem = nullptr;
}

void VENTITY::keyvalueTableItemDoubleClicked(QTableWidgetItem *item)
{
    m_editedItem = item;
    m_keyvalueTable->editItem(item);
}

void VENTITY::keyvalueTableItemChanged(QTableWidgetItem *item)
{
    // Filling the table changes items too; only the user's edit counts.
    if (!item || item != m_editedItem)
        return;
    m_editedItem = nullptr;
    const int row = item->row();
    if (m_currentEntity && row >= 0 && row < m_currentEntity->pairCount()) {
        CEntityKeyValue &pair = m_currentEntity->pairs()[row];
        QString &field = item->column() == 0 ? pair.key : pair.value;
        // Saving would write such a character as "?": the old text stays.
        const QString refused = EntityLump::unstorable(item->text());
        if (!refused.isNull()) {
            item->setText(field);
            warn(QString::fromLatin1(BspErrors::EntityUnstorableCharacter).arg(refused));
            return;
        }
        field = item->text();
    }
    labelEntity(m_currentEntity);
    setWindowModified(true);
}

void VENTITY::keyvalueTableItemSelectionChanged()
{
    const bool selected = !m_keyvalueTable->selectedItems().isEmpty();
    m_keyvalueCopyButton->setEnabled(selected);
    m_keyvalueDeleteButton->setEnabled(selected);
}
