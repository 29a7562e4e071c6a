#include "CFilePHY.h"

#include "PakfileErrors.h"

CFilePHY::CFilePHY() = default;

CFilePHY::~CFilePHY() = default;

bool CFilePHY::read(QDataStream &stream)
{
    Q_UNUSED(stream);
    m_error = QString::fromLatin1(PakfileError::NotImplemented);
    return false;
}

bool CFilePHY::write(QDataStream &stream)
{
    Q_UNUSED(stream);
    m_error = QString::fromLatin1(PakfileError::NotImplemented);
    return false;
}
