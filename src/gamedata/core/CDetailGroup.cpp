#include "CDetailGroup.h"

#include "DetailRecordList.h"

CDetailGroup::CDetailGroup(const CDetailGroup &other)
    : name(other.name)
    , alpha(other.alpha)
{
    props.reserve(other.props.size());
    for (const CDetailProp *prop : other.props) {
        if (prop)
            props.push_back(new CDetailProp(*prop));
    }
}

CDetailGroup::~CDetailGroup()
{
    deleteAll(props);
}

CDetailProp *CDetailGroup::findProp(const std::string &propName) const
{
    return DetailRecordList::find(props, propName);
}

int32_t CDetailGroup::indexOfProp(const CDetailProp *prop) const
{
    return DetailRecordList::indexOf(props, prop);
}

void CDetailGroup::swapProps(uint32_t i, uint32_t j)
{
    DetailRecordList::swap(props, i, j);
}

void CDetailGroup::removeProp(CDetailProp *prop, bool free)
{
    DetailRecordList::remove(props, prop, free);
}

void CDetailGroup::removePropAt(uint32_t position, bool free)
{
    DetailRecordList::removeAt(props, position, free);
}

CDetailProp *CDetailGroup::addProp(const std::string &propName)
{
    return DetailRecordList::add(props, propName);
}

void CDetailGroup::pasteProp(CDetailProp *prop)
{
    DetailRecordList::paste(props, prop);
}
