#include "CFileFGD.h"

#include "GamedataErrors.h"

CFileFGD::CFileFGD() = default;

CFileFGD::~CFileFGD() = default;

bool CFileFGD::read(QDataStream &stream)
{
    Q_UNUSED(stream);
    m_error = QString::fromLatin1(GamedataError::NotImplemented);
    return false;
}

bool CFileFGD::write(QDataStream &stream)
{
    Q_UNUSED(stream);
    return false;
}
