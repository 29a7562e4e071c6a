#include "FGDRecords.h"

namespace {
// Shared by every new class, so that a file of many small classes does not
// pay for 32 texts each.
const QVector<QByteArray> &emptyFlagTexts()
{
    static const QVector<QByteArray> texts(FGDEntityClass::FlagCount);
    return texts;
}
} // namespace

FGDEntityClass::FGDEntityClass()
    : flagTexts(emptyFlagTexts())
{}
