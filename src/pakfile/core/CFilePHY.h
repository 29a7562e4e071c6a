#pragma once

#include "IFileClass.h"

// A collision-model document. Reading arrives with the dependency scanners; until
// then every read fails with "Internal Error: Not implemented".
class CFilePHY : public IFileClass<CFilePHY>
{
public:
    CFilePHY();
    ~CFilePHY() override;

    using IFileClass<CFilePHY>::write;
    bool read(QDataStream &stream) override;

    bool write(QDataStream &stream) override;
};
