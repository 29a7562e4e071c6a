#pragma once

#include "IFileClass.h"

// A studio-model document. Reading arrives with the dependency scanners; until
// then every read fails with "Internal Error: Not implemented".
class CFileMDL : public IFileClass<CFileMDL>
{
public:
    CFileMDL();
    ~CFileMDL() override;

    using IFileClass<CFileMDL>::write;
    bool read(QDataStream &stream) override;
    // Models are never saved: fails without a reason.
    bool write(QDataStream &stream) override;
};
