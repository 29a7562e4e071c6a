#include "CPackageFactory.h"

#include "CDelegateBSP.h"
#include "CDelegateGCF.h"
#include "CDelegateNCF.h"
#include "CDelegateVPK.h"

#include <QFileInfo>

int CPackageFactory::typeForPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bsp"))
        return 1;
    if (suffix == QLatin1String("gcf"))
        return 2;
    if (suffix == QLatin1String("ncf"))
        return 3;
    if (suffix == QLatin1String("vpk"))
        return 4;
    return 0;
}

IPackageDelegate *CPackageFactory::create(const QString &path)
{
    switch (typeForPath(path)) {
    case 1:
        return new CDelegateBSP;
    case 2:
        return new CDelegateGCF;
    case 3:
        return new CDelegateNCF;
    case 4:
        return new CDelegateVPK;
    default:
        return nullptr;
    }
}

QString CPackageFactory::unsupportedMessage(const QString &path)
{
    return QStringLiteral("Request Error: Unsupported package type \"%1\"")
        .arg(QFileInfo(path).fileName());
}
