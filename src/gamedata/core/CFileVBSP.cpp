#include "CFileVBSP.h"

#include "DetailRecordList.h"

CFileVBSP::CFileVBSP(const std::string &documentPath)
    : path(documentPath)
{}

CFileVBSP::~CFileVBSP()
{
    deleteAll(types);
}

CDetailType *CFileVBSP::findType(const std::string &name) const
{
    return DetailRecordList::find(types, name);
}

int32_t CFileVBSP::indexOfType(const CDetailType *type) const
{
    return DetailRecordList::indexOf(types, type);
}

void CFileVBSP::swapTypes(uint32_t i, uint32_t j)
{
    DetailRecordList::swap(types, i, j);
}

void CFileVBSP::removeType(CDetailType *type, bool free)
{
    DetailRecordList::remove(types, type, free);
}

void CFileVBSP::removeTypeAt(uint32_t position, bool free)
{
    DetailRecordList::removeAt(types, position, free);
}

CDetailType *CFileVBSP::addType(const std::string &name)
{
    return DetailRecordList::add(types, name);
}

void CFileVBSP::pasteType(CDetailType *type)
{
    DetailRecordList::paste(types, type);
}
