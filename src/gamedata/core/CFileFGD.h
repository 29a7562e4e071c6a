#pragma once

#include "IFileClass.h"

// An entity-definition document. Parsing arrives with the game-data editors;
// until then every read fails with "Internal Error: Not implemented".
class CFileFGD : public IFileClass<CFileFGD>
{
public:
    CFileFGD();
    ~CFileFGD() override;

    using IFileClass<CFileFGD>::write;
    bool read(QDataStream &stream) override;
    // Entity definitions are never saved: fails without a reason.
    bool write(QDataStream &stream) override;
};
