#include "PCFBatch.h"

#include "CFilePCF.h"
#include "DMXGuids.h"
#include "PCFDelegate.h"
#include "PCFExchange.h"
#include "PCFProgressSink.h"
#include "PCFToolTexts.h"

PCFBatch::PCFBatch(PCFDelegate *delegate, PCFProgressSink *sink)
    : m_delegate(delegate)
    , m_sink(sink)
{
    if (!m_delegate)
        m_delegate = m_ownDelegate = new PCFDelegate;
}

PCFBatch::~PCFBatch()
{
    clear();
    delete m_ownDelegate;
}

void PCFBatch::clear()
{
    for (const Record &record : qAsConst(m_records))
        delete record.document;
    m_records.clear();
    m_paths.clear();
}

void PCFBatch::report(const QString &text, bool isError)
{
    m_log.append(text);
    if (m_sink)
        m_sink->message(text, isError);
}

CFilePCF *PCFBatch::document(int index) const
{
    return m_records.value(index).document;
}

bool PCFBatch::changed(int index) const
{
    return m_records.value(index).changed;
}

int PCFBatch::elementTotal() const
{
    int total = 0;
    for (const Record &record : m_records) {
        if (record.document)
            total += record.document->elements.size();
    }
    return total;
}

bool PCFBatch::run(int mode, const QStringList &paths, int target,
                   const QList<CFilePCF *> &templates, const QVector<PCFKeptList> &kept)
{
    if (mode != EnsureUniqueGuids && mode != MassFormat)
        return false;
    if (m_sink) {
        m_sink->setLabel(QString::fromLatin1(PCFText::Reading));
        m_sink->setRange(0, paths.size());
    }
    m_log.clear();
    read(paths);
    if (m_sink) {
        m_sink->setRange(0, m_records.size());
        if (mode == MassFormat)
            m_sink->setLabel(QString::fromLatin1(PCFText::Formatting).arg(m_records.size()));
        else
            m_sink->setLabel(
                QString::fromLatin1(PCFText::Checking).arg(elementTotal()).arg(m_records.size()));
    }
    if (mode == MassFormat)
        convert(target, templates, kept);
    else
        ensureUniqueGuids();
    if (m_sink)
        m_sink->setLabel(QString::fromLatin1(PCFText::Writing));
    writeChanged();
    return true;
}

void PCFBatch::read(const QStringList &paths)
{
    clear();
    int done = 0;
    for (const QString &path : paths) {
        auto *loaded = new CFilePCF;
        if (m_delegate->read(path, loaded)) {
            m_paths.append(path);
            m_records.append({loaded, false});
        } else {
            delete loaded;
            // Named, so that the file among many that failed can be found.
            report(QString::fromLatin1(PCFText::ItemError).arg(path, m_delegate->error()));
        }
        if (m_sink)
            m_sink->setValue(++done);
    }
}

void PCFBatch::ensureUniqueGuids()
{
    QVector<PCFGuidRecord> records;
    for (const Record &record : qAsConst(m_records))
        records.append({record.document, false});
    ensureGuidUniqueness(records);
    for (int i = 0; i < records.size(); ++i)
        m_records[i].changed = m_records[i].changed || records[i].changed;
}

void PCFBatch::convert(int target, const QList<CFilePCF *> &templates,
                       const QVector<PCFKeptList> &kept)
{
    const DMXElement *templateSystem = PCFExchange::defaultTemplateSystem(templates, target);
    const PCFKeptList *known = PCFExchange::keptList(kept, target);
    for (int i = 0; i < m_records.size(); ++i) {
        Record &record = m_records[i];
        PCFConversionReport losses;
        const QString error =
            m_delegate->convert(record.document, target, templateSystem, &losses, known);
        if (!error.isNull()) {
            report(error);
            continue;
        }
        for (const QString &line : conversionReportLines(losses, m_paths[i]))
            report(line, false);
        record.document->format = target;
        record.changed = true;
    }
}

void PCFBatch::writeChanged()
{
    m_written.clear();
    for (int i = 0; i < m_records.size(); ++i) {
        Record &record = m_records[i];
        if (record.changed) {
            if (m_delegate->write(m_paths[i], record.document, record.document->format))
                m_written.append(m_paths[i]);
            else
                report(m_delegate->error());
        }
        // Written or not, the document is done with.
        delete record.document;
        record.document = nullptr;
        if (m_sink)
            m_sink->setValue(i + 1);
    }
}
