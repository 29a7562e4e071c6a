// The package tree of a map: the lumps in a folder "lumps", the pakfile
// files under their own paths.
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "PackageErrors.h"
#include "functions.h"

#include <QRegularExpression>

namespace E = PackageErrors;
namespace F = BspFormat;

namespace {
// A warning quotes no more of a name than this.
constexpr int MaxWarnedNameLength = 200;
} // namespace

bool CDelegateBSP::buildHierarchy()
{
    clearHierarchy();
    m_warnings.clear();
    m_rootNode = new CPackageHierarchyNode();
    m_rootNode->setName(QStringLiteral("root"));
    m_rootNode->makeFolder();
    m_rootNode->owner = this;
    auto *lumps = new CPackageHierarchyNode();
    lumps->setName(QStringLiteral("lumps"));
    lumps->makeFolder();
    lumps->owner = this;
    if (!m_rootNode->addChild(lumps, -1)) {
        delete lumps;
        return false;
    }
    m_nodes.reserve(F::LumpCount + m_pakfileEntries.size());
    for (int i = 0; i < F::LumpCount; ++i) {
        QString name = bspLumpName(m_version, i);
        if (name == QLatin1String("Unused") || name == QLatin1String("Unknown"))
            name = QStringLiteral("LUMP_%1").arg(i);
        CPackageHierarchyNode *n = lumps->createPath({name + QStringLiteral(".lmp")}, true);
        if (!n)
            return false;
        n->owner = this;
        n->entryIndex = m_nodes.size();
        m_nodes.append(n);
    }
    if (!addPakfileNodes())
        return false;
    for (const QString &warning : qAsConst(m_warnings))
        qWarning("%s", qPrintable(warning));
    return true;
}

bool CDelegateBSP::addPakfileNodes()
{
    static const QRegularExpression separatorRuns(QStringLiteral("[\\\\|/]+"));
    for (const CPakfileEntry *e : qAsConst(m_pakfileEntries)) {
        // Every record keeps its slot (index 64 + record position), even one
        // that gets no node, so that indexes and records stay in step.
        QString text = QString::fromLatin1(e->local.fileName);
        const bool directoryRecord =
            text.endsWith(QLatin1Char('/')) || text.endsWith(QLatin1Char('\\'));
        trimPath(text);
        text.replace(separatorRuns, QStringLiteral("/"));
        text.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QStringList parts = text.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.isEmpty()) {
            m_nodes.append(nullptr);
            continue;
        }
        if (parts.size() > MaxTreeDepth) {
            m_warnings.append(E::Bsp::nestedTooDeeply(text.left(MaxWarnedNameLength)));
            m_nodes.append(nullptr);
            continue;
        }
        if (directoryRecord) {
            // Archivers store folders as empty records ending in "/"; shown as
            // the folder itself, they must not turn into a file that blocks
            // the folder's contents.
            if (!m_rootNode->createPath(parts, false))
                m_warnings.append(E::Bsp::pakfileNode(text));
            m_nodes.append(nullptr);
            continue;
        }
        CPackageHierarchyNode *n = m_rootNode->createPath(parts, true);
        if (!n)
            return fail(E::Bsp::pakfileNode(text));
        if (n->entryIndex >= 0 && n->entryIndex < F::LumpCount) {
            m_warnings.append(E::Bsp::hiddenPakfileFile(text, n->path(true)));
            m_nodes.append(nullptr);
            continue;
        }
        if (n->entryIndex >= 0) {
            // Same path ignoring case: the later record wins the node.
            const CPakfileEntry *earlier = pakfileEntry(n->entryIndex);
            m_warnings.append(E::Bsp::hiddenPakfileFile(
                earlier ? QString::fromLatin1(earlier->local.fileName) : n->path(true), text));
            m_nodes[n->entryIndex] = nullptr;
        }
        n->owner = this;
        n->entryIndex = m_nodes.size();
        m_nodes.append(n);
    }
    return true;
}
