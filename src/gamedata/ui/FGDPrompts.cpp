#include "FGDPrompts.h"

#include "CFileFGD.h"
#include "CPrompt.h"

void installFgdPrompts()
{
    CFileFGD::setUnknownItemHook([](const QByteArray &name) {
        CPrompt::information(nullptr, QStringLiteral("Unknown Item"), QString::fromLatin1(name),
                             QMessageBox::Ok);
    });
}
