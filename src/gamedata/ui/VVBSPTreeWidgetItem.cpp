#include "VVBSPTreeWidgetItem.h"

#include "CFileVBSP.h"

#include <QStringList>

namespace {

// Names are 8-bit text in the document.
QStringList nameColumn(const std::string &name)
{
    return QStringList{QString::fromLatin1(name.data(), int(name.size()))};
}

} // namespace

VVBSPTreeWidgetItem::VVBSPTreeWidgetItem(CDetailType *detailType)
    : QTreeWidgetItem(nameColumn(detailType->name))
    , type(detailType)
{
    setFlags(flags() | Qt::ItemIsEditable);
}

VVBSPTreeWidgetItem::VVBSPTreeWidgetItem(CDetailGroup *detailGroup)
    : QTreeWidgetItem(nameColumn(detailGroup->name))
    , group(detailGroup)
{
    setFlags(flags() | Qt::ItemIsEditable);
}

VVBSPTreeWidgetItem::VVBSPTreeWidgetItem(CDetailProp *detailProp)
    : QTreeWidgetItem(nameColumn(detailProp->name))
    , prop(detailProp)
{
    setFlags(flags() | Qt::ItemIsEditable);
}
