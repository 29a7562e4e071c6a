// Particle files: read, the text of every value (and that text set back),
// written and read again, and converted to the other encodings.
#include "CFilePCF.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "PCFDelegate.h"
#include "PCFExchange.h"
#include "PCFTemplates.h"
#include "PcfBuilder.h"
#include "initResources.h"

using FuzzCheck::require;

namespace {

// {null, template 1, template 2, template 3}, as the configuration holds them.
const QList<CFilePCF *> &templates()
{
    static const struct Templates
    {
        Templates()
        {
            initResources();
            PCFTemplates::reload(list);
        }
        ~Templates() { PCFTemplates::release(list); }
        QList<CFilePCF *> list;
    } templates;
    return templates.list;
}

// What the editor shows of every value, taken back as an edit. The text
// rounds floats to six decimals, so the first edit may change a value; taking
// back the text of the result must change nothing.
void editEveryValue(const CFilePCF &document)
{
    for (const DMXElement *element : document.elements) {
        for (DMXAttribute *attribute : element->attributes) {
            if (!attribute->setValueFromString(attribute->valueString()).isNull())
                continue;
            const QString text = attribute->valueString();
            require(attribute->setValueFromString(text).isNull() &&
                        attribute->valueString() == text,
                    "a value's own text changes it");
        }
    }
}

// Written in its own encoding, a document reads back and writes the same
// bytes again.
void writeAndReread(CFilePCF &document, int format)
{
    PCFDelegate delegate;
    QByteArray first;
    if (!delegate.writeData(&document, format, &first))
        return;
    CFilePCF again;
    if (!delegate.readData(first, &again))
        FuzzCheck::failure("a written particle file does not read", delegate.error());
    QByteArray second;
    require(delegate.writeData(&again, format, &second) && second == first,
            "a re-read particle file writes other bytes");
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    PCFDelegate delegate;
    CFilePCF document;
    // Read from a device as a file is: the reader goes forward only, so it
    // reads every byte once.
    FuzzCheck::CountingBuffer device(input);
    const bool read = delegate.readDevice(&device, &document);
    FuzzCheck::requireLinear(device.bytesRead(), input.size(), 1, 0, "particle read");
    if (!read)
        return 0;
    editEveryValue(document);
    writeAndReread(document, document.format);
    for (int target = 1; target <= 3; ++target) {
        if (target == document.format)
            continue;
        CFilePCF converted;
        require(delegate.readData(input, &converted),
                "a particle file reads from a device but not from its bytes");
        const DMXElement *system = PCFExchange::defaultTemplateSystem(templates(), target);
        if (!delegate.convert(&converted, target, system).isNull())
            continue;
        converted.format = target;
        writeAndReread(converted, target);
    }
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    QList<QByteArray> seeds;
    for (int encoding = 1; encoding <= 3; ++encoding)
        seeds << PcfFixture::everyTypeFile(encoding);
    return seeds;
}
