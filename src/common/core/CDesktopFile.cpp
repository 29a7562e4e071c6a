#include "CDesktopFile.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
CDesktopFile::Opener &openerOverride()
{
    static CDesktopFile::Opener opener;
    return opener;
}
} // namespace

void CDesktopFile::setOpener(Opener opener)
{
    openerOverride() = std::move(opener);
}

bool CDesktopFile::open(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    const QString absolutePath = info.absoluteFilePath();
    const Opener &opener = openerOverride();
    if (opener)
        return opener(absolutePath);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolutePath));
}
