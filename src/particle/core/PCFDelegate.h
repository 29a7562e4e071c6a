#pragma once

#include "DMXDelegate.h"
#include "PCFConversionLoss.h"

#include <QByteArray>
#include <QList>
#include <QString>

class CFilePCF;
class DMXElement;
class PCFKeptList;
class QIODevice;

// Reads, writes and converts particle files. Holds no document: each call is
// given one. A failed call leaves its reason in error().
class PCFDelegate : public DMXDelegate
{
public:
    // Fills the document (emptied first) from a particle file. On failure the
    // document keeps what was read so far; the caller deletes it.
    bool read(const QString &path, CFilePCF *document);
    bool readData(const QByteArray &bytes, CFilePCF *document);
    // Reads from the device's position to its end, a chunk at a time: a large
    // file is never held whole beside the document made from it.
    bool readDevice(QIODevice *device, CFilePCF *document);

    // Writes the document in encoding `version` (1, 2, 3, or -1 for the
    // "dmx 1" header over the layout of 1 and 2). The dictionary and the index
    // fields are rebuilt. The target is replaced only by a complete file.
    bool write(const QString &path, CFilePCF *document, int version);
    bool writeData(CFilePCF *document, int version, QByteArray *bytes);

    // Makes every particle system of the document look like the template
    // system of the target encoding, in time linear in the document's size.
    // Converted to its own encoding, a document keeps everything it holds;
    // to another, what `kept` (what real files of the target carry beyond
    // the template, may be null) names. A null QString on success, otherwise
    // the reason. The document's `format` is left for the caller to set.
    // What each system lost is appended to `report` (nothing for a system
    // that lost nothing).
    QString convert(CFilePCF *document, int target, const DMXElement *templateSystem,
                    PCFConversionReport *report = nullptr, const PCFKeptList *kept = nullptr);
    // The same for some systems of the document only, written for encoding
    // `source` (systems copied in from another document); the others are
    // left as they are.
    QString convertSystems(CFilePCF *document, const QList<DMXElement *> &systems, int source,
                           int target, const DMXElement *templateSystem,
                           PCFConversionReport *report = nullptr,
                           const PCFKeptList *kept = nullptr);
    // Conforms one element to its template, recursively; returns the elements
    // that were cut loose and are to be removed from the document. What was
    // dropped goes to `loss` when given (the element's own attributes under
    // an empty owner).
    static QList<DMXElement *> conformElement(DMXElement *element,
                                              const DMXElement *templateElement,
                                              PCFConversionLoss *loss = nullptr);
};
