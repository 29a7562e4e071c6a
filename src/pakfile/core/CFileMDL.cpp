#include "CFileMDL.h"

#include "PakfileErrors.h"

CFileMDL::CFileMDL() = default;

CFileMDL::~CFileMDL() = default;

bool CFileMDL::read(QDataStream &stream)
{
    Q_UNUSED(stream);
    m_error = QString::fromLatin1(PakfileError::NotImplemented);
    return false;
}

bool CFileMDL::write(QDataStream &stream)
{
    Q_UNUSED(stream);
    return false;
}
