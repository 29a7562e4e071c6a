// The detail editor's tree: moving, renaming, adding, copying, pasting and
// deleting types, groups and props, the document kept in step with the tree.
#include "VVBSP.h"

#include "CFileVBSP.h"
#include "CPrompt.h"
#include "DetailRecordList.h"
#include "VVBSPPanels.h"
#include "VVBSPTexts.h"
#include "VVBSPTreeWidget.h"
#include "VVBSPTreeWidgetItem.h"
#include "VbspFile.h"

#include <QAction>
#include <QCursor>
#include <QIcon>
#include <QMenu>

namespace {

VVBSPTreeWidgetItem *parentOf(const QTreeWidgetItem *item)
{
    return static_cast<VVBSPTreeWidgetItem *>(item->parent());
}

// Names are stored as Latin-1; a character outside it could not be stored as
// typed.
bool latin1Name(const QString &text, std::string &name)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    name = text.toLatin1().toStdString();
    return true;
}

bool isInside(const QTreeWidgetItem *item, const QTreeWidgetItem *ancestor)
{
    for (; item; item = item->parent()) {
        if (item == ancestor)
            return true;
    }
    return false;
}

} // namespace

void VVBSP::buildContextActions()
{
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("detailContextMenu"));
    const auto action = [this](const char *iconName, const QString &text, void (VVBSP::*slot)()) {
        auto *a = new QAction(QIcon(QStringLiteral(":/resources/icons/") + QLatin1String(iconName)),
                              text, this);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_actionAddType = action("tag_blue_add", QStringLiteral("Add Type"), &VVBSP::contextAddType);
    m_actionAddGroup = action("tag_blue_add", QStringLiteral("Add Group"), &VVBSP::contextAddGroup);
    m_actionAddProp = action("tag_blue_add", QStringLiteral("Add Prop"), &VVBSP::contextAddProp);
    m_actionCopy = action("tag_blue_copy", QStringLiteral("Copy"), &VVBSP::contextCopy);
    m_actionPaste = action("tag_blue_paste", QStringLiteral("Paste"), &VVBSP::contextPaste);
    m_actionDelete = action("tag_blue_delete", QStringLiteral("Delete"), &VVBSP::contextDelete);
}

void VVBSP::moveItemUp(VVBSPTreeWidgetItem *item)
{
    moveItem(item, -1);
}

void VVBSP::moveItemDown(VVBSPTreeWidgetItem *item)
{
    moveItem(item, 1);
}

void VVBSP::moveItem(VVBSPTreeWidgetItem *item, int step)
{
    if (!item || !m_document)
        return;
    // Swaps the record with its neighbour; false at either end of the list.
    const auto swapIn = [step](auto &list, auto *record) {
        const int32_t index = DetailRecordList::indexOf(list, record);
        const int64_t target = int64_t(index) + step;
        if (index < 0 || target < 0 || target >= int64_t(list.size()))
            return false;
        DetailRecordList::swap(list, uint32_t(index), uint32_t(target));
        return true;
    };
    VVBSPTreeWidgetItem *parent = parentOf(item);
    bool moved = false;
    if (item->type)
        moved = swapIn(m_document->types, item->type);
    else if (item->group && parent && parent->type)
        moved = swapIn(parent->type->groups, item->group);
    else if (item->prop && parent && parent->group)
        moved = swapIn(parent->group->props, item->prop);
    if (moved)
        setWindowModified(true);
}

void VVBSP::showContextMenu(const QPoint &point)
{
    prepareContextMenu(static_cast<VVBSPTreeWidgetItem *>(m_tree->itemAt(point)));
    m_contextMenu->popup(QCursor::pos());
}

void VVBSP::prepareContextMenu(VVBSPTreeWidgetItem *item)
{
    m_contextMenu->clear();
    m_contextItem = item;
    const bool clipboard = m_copiedType || m_copiedGroup || m_copiedProp;
    const auto addPaste = [&](bool fits) {
        if (!clipboard)
            return;
        m_actionPaste->setEnabled(fits);
        m_contextMenu->addAction(m_actionPaste);
    };
    if (!item) {
        m_contextMenu->addAction(m_actionAddType);
        addPaste(m_copiedType);
    } else if (item->type || item->group) {
        m_contextMenu->addAction(item->type ? m_actionAddGroup : m_actionAddProp);
        m_contextMenu->addAction(m_actionCopy);
        addPaste(item->type ? bool(m_copiedGroup) : bool(m_copiedProp));
    } else {
        m_contextMenu->addAction(m_actionCopy);
    }
    m_contextMenu->addAction(m_actionDelete);
}

bool VVBSP::askName(const QString &title, const QString &label, const QString &initial,
                    std::string &name)
{
    bool ok = false;
    const QString text = CPrompt::getText(this, title, label, QLineEdit::Normal, initial, &ok);
    // Names the reader would not give back are refused like taken ones.
    return ok && !text.isEmpty() && latin1Name(text, name) && DetailRecordList::nameReadsBack(name);
}

void VVBSP::contextAddType()
{
    std::string name;
    if (!m_document ||
        !askName(QStringLiteral("Add Type"), QStringLiteral("Type name:"), QString(), name))
        return;
    if (CDetailType *type = m_document->addType(name)) {
        addTypeItem(type);
        setWindowModified(true);
    }
}

void VVBSP::contextAddGroup()
{
    VVBSPTreeWidgetItem *item = m_contextItem;
    std::string name;
    if (!item || !item->type ||
        !askName(QStringLiteral("Add Group"), QStringLiteral("Group name:"), QString(), name))
        return;
    if (CDetailGroup *group = item->type->addGroup(name)) {
        addGroupItem(group, item);
        item->setExpanded(true);
        setWindowModified(true);
    }
}

void VVBSP::contextAddProp()
{
    VVBSPTreeWidgetItem *item = m_contextItem;
    if (!item || !item->group)
        return;
    // A prop is cut from a sheet whose size must be known first.
    if (m_textureSize == -1)
        setTextureDimension();
    if (m_textureSize == -1)
        return;
    std::string name;
    if (!askName(QStringLiteral("Add Prop"), QStringLiteral("Prop name:"), QString(), name))
        return;
    if (CDetailProp *prop = item->group->addProp(name)) {
        prop->textureDimension = qBound(0, m_textureSize, VbspFile::MaxSpriteCoordinate);
        addPropItem(prop, item);
        item->setExpanded(true);
        setWindowModified(true);
    }
}

void VVBSP::clearClipboard()
{
    delete m_copiedType;
    delete m_copiedGroup;
    delete m_copiedProp;
    m_copiedType = nullptr;
    m_copiedGroup = nullptr;
    m_copiedProp = nullptr;
}

void VVBSP::contextCopy()
{
    VVBSPTreeWidgetItem *item = m_contextItem;
    if (!item)
        return;
    clearClipboard();
    if (item->type)
        m_copiedType = new CDetailType(*item->type);
    else if (item->group)
        m_copiedGroup = new CDetailGroup(*item->group);
    else if (item->prop)
        m_copiedProp = new CDetailProp(*item->prop);
}

void VVBSP::contextPaste()
{
    VVBSPTreeWidgetItem *item = m_contextItem;
    if (!item && m_copiedType && m_document) {
        auto *type = new CDetailType(*m_copiedType);
        m_document->pasteType(type);
        addTypeItem(type);
    } else if (item && item->type && m_copiedGroup) {
        auto *group = new CDetailGroup(*m_copiedGroup);
        item->type->pasteGroup(group);
        addGroupItem(group, item);
    } else if (item && item->group && m_copiedProp) {
        auto *prop = new CDetailProp(*m_copiedProp);
        item->group->pasteProp(prop);
        addPropItem(prop, item);
    } else {
        return;
    }
    setWindowModified(true);
}

void VVBSP::forgetCurrent(VVBSPTreeWidgetItem *item)
{
    if (isInside(m_currentItem, item))
        m_currentItem = nullptr;
    if ((item->type && item->type == m_currentType) ||
        (item->group && item->group == m_currentGroup) ||
        (item->prop && item->prop == m_currentProp)) {
        // The current records form one chain, so everything from the deleted
        // level down goes.
        if (item->type) {
            m_currentType = nullptr;
            refreshTypePanel();
        }
        if (item->type || item->group) {
            m_currentGroup = nullptr;
            refreshGroupPanel();
        }
        m_currentProp = nullptr;
        refreshPropPanel();
    }
}

void VVBSP::contextDelete()
{
    VVBSPTreeWidgetItem *item = m_contextItem;
    if (!item || !m_document)
        return;
    m_contextItem = nullptr;
    forgetCurrent(item);
    VVBSPTreeWidgetItem *parent = parentOf(item);
    if (item->type)
        m_document->removeType(item->type, true);
    else if (item->group && parent && parent->type)
        parent->type->removeGroup(item->group, true);
    else if (item->prop && parent && parent->group)
        parent->group->removeProp(item->prop, true);
    delete item;
    setWindowModified(true);
}

void VVBSP::itemDoubleClicked(QTreeWidgetItem *treeItem, int)
{
    auto *item = static_cast<VVBSPTreeWidgetItem *>(treeItem);
    if (!item || !m_document)
        return;
    std::string name;
    if (!askName(QLatin1String(VVBSPText::RenameTitle), QLatin1String(VVBSPText::RenameLabel),
                 item->text(0), name))
        return;
    // Unique among the record's siblings; its own present name counts too.
    VVBSPTreeWidgetItem *parent = parentOf(item);
    std::string *stored = nullptr;
    if (item->type && !m_document->findType(name))
        stored = &item->type->name;
    else if (item->group && parent && parent->type && !parent->type->findGroup(name))
        stored = &item->group->name;
    else if (item->prop && parent && parent->group && !parent->group->findProp(name))
        stored = &item->prop->name;
    if (!stored)
        return;
    *stored = name;
    const QString text = QString::fromLatin1(name.data(), int(name.size()));
    CPrompt::information(nullptr, QString(), text, QMessageBox::Ok);
    item->setText(0, text);
    setWindowModified(true);
}
