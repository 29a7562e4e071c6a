#pragma once

#include "IFileClass.h"

#include <QtGlobal>

// A texture document. This build recognises texture files by their signature
// only; reading the image data and writing are not available yet and fail
// with "Internal Error: Not implemented".
class CFileVTF : public IFileClass<CFileVTF>
{
public:
    // A dimension of 0 or one that is not a power of two counts as 1.
    CFileVTF(quint16 width, quint16 height);
    ~CFileVTF() override;

    // The loaders build a 1 x 1 texture and read the file over it.
    static CFileVTF *createForLoading() { return new CFileVTF(1, 1); }

    using IFileClass<CFileVTF>::write;
    bool read(QDataStream &stream) override;
    bool write(QDataStream &stream) override;

    quint16 width() const { return m_width; }
    quint16 height() const { return m_height; }

private:
    quint16 m_width = 1;
    quint16 m_height = 1;
};
