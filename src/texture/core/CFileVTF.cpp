#include "CFileVTF.h"

#include "VTFErrors.h"

#include <cstring>

namespace {
quint16 validDimension(quint16 value)
{
    const bool powerOfTwo = value != 0 && (value & (value - 1)) == 0;
    return powerOfTwo ? value : 1;
}
} // namespace

CFileVTF::CFileVTF(quint16 width, quint16 height)
    : m_width(validDimension(width))
    , m_height(validDimension(height))
{}

CFileVTF::~CFileVTF() = default;

bool CFileVTF::read(QDataStream &stream)
{
    char magic[sizeof VTFLayout::Magic];
    if (stream.readRawData(magic, sizeof magic) != int(sizeof magic)) {
        m_error = QString::fromLatin1(VTFError::Incomplete);
        return false;
    }
    if (std::memcmp(magic, VTFLayout::Magic, sizeof magic) != 0) {
        m_error = QString::fromLatin1(VTFError::MagicMismatch);
        return false;
    }
    m_error = QString::fromLatin1(VTFError::NotImplemented);
    return false;
}

bool CFileVTF::write(QDataStream &stream)
{
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    m_error = QString::fromLatin1(VTFError::NotImplemented);
    return false;
}
