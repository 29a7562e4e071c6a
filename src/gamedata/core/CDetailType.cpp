#include "CDetailType.h"

#include "DetailRecordList.h"

CDetailType::CDetailType(const CDetailType &other)
    : name(other.name)
    , density(other.density)
{
    groups.reserve(other.groups.size());
    for (const CDetailGroup *group : other.groups) {
        if (group)
            groups.push_back(new CDetailGroup(*group));
    }
}

CDetailType::~CDetailType()
{
    // Each group frees its own props, duplicates dropped first.
    deleteAll(groups);
}

CDetailGroup *CDetailType::findGroup(const std::string &groupName) const
{
    return DetailRecordList::find(groups, groupName);
}

int32_t CDetailType::indexOfGroup(const CDetailGroup *group) const
{
    return DetailRecordList::indexOf(groups, group);
}

void CDetailType::swapGroups(uint32_t i, uint32_t j)
{
    DetailRecordList::swap(groups, i, j);
}

void CDetailType::removeGroup(CDetailGroup *group, bool free)
{
    DetailRecordList::remove(groups, group, free);
}

void CDetailType::removeGroupAt(uint32_t position, bool free)
{
    DetailRecordList::removeAt(groups, position, free);
}

CDetailGroup *CDetailType::addGroup(const std::string &groupName)
{
    return DetailRecordList::add(groups, groupName);
}

void CDetailType::pasteGroup(CDetailGroup *group)
{
    DetailRecordList::paste(groups, group);
}
