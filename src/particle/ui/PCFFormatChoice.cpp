#include "PCFFormatChoice.h"

#include "CPrompt.h"

QStringList pcfFormatNames()
{
    return {
        QStringLiteral("Binary 2 / PCF 1 (Orange Box)"),
        QStringLiteral("Binary 3 / PCF 2 (Left 4 Dead)"),
        QStringLiteral("Binary 4 / PCF 2 (Left 4 Dead 2)"),
    };
}

int choosePcfFormat(QWidget *parent, const QString &title)
{
    const QStringList names = pcfFormatNames();
    bool ok = false;
    const QString choice =
        CPrompt::getItem(parent, title, QStringLiteral("Version:"), names, 0, false, &ok);
    if (!ok || choice.isEmpty())
        return 0;
    // An answer that is not one of the items counts as no choice.
    return names.indexOf(choice) + 1;
}
