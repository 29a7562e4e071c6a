#include "PCFSystemSearch.h"

#include "CFilePCF.h"
#include "PCFDelegate.h"
#include "PCFProgressSink.h"
#include "PCFToolTexts.h"

namespace PCFSystemSearch {

QStringList filesDefining(const QStringList &paths, const QString &systemName,
                          PCFProgressSink *sink)
{
    PCFDelegate delegate;
    QStringList found = paths;
    const int count = paths.size();
    for (int i = count - 1; i >= 0; --i) {
        const QString &path = paths[i];
        if (sink)
            sink->setLabel(path);
        CFilePCF document;
        if (!delegate.read(path, &document)) {
            if (sink)
                sink->message(QString::fromLatin1(PCFText::ItemError).arg(path, delegate.error()),
                              true);
            found.removeAt(i);
        } else if (!document.findParticleSystem(systemName)) {
            found.removeAt(i);
        }
        if (sink)
            sink->setValue(count - i);
    }
    return found;
}

} // namespace PCFSystemSearch
