#include "VPackageIcons.h"

#include "CFileIconCache.h"
#include "CPackageHierarchyNode.h"
#include "IMainWindow.h"

VPackageIcons::VPackageIcons()
    : m_folder(QStringLiteral(":/resources/icons/folder"))
{}

VPackageIcons::~VPackageIcons() = default;

QString VPackageIcons::extension(const QString &name)
{
    int last = -1;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('|'))
            last = i;
    }
    const int dot = name.indexOf(QLatin1Char('.'), last + 2);
    return dot < 0 ? QString() : name.mid(dot + 1);
}

CFileIconCache *VPackageIcons::cache()
{
    if (IMainWindow *main = IMainWindow::instance()) {
        if (CFileIconCache *shared = main->iconCache())
            return shared;
    }
    if (!m_ownCache)
        m_ownCache = std::make_unique<CFileIconCache>();
    return m_ownCache.get();
}

QIcon VPackageIcons::icon(const CPackageHierarchyNode *node)
{
    if (!node)
        return QIcon();
    if (node->isFolder())
        return m_folder;
    const QString suffix = extension(node->name());
    auto it = m_byExtension.constFind(suffix);
    if (it == m_byExtension.constEnd())
        it = m_byExtension.insert(suffix, cache()->icon(suffix));
    return *it;
}
