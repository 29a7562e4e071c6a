#pragma once

#include "DMXAttribute.h"
#include "DMXElement.h"
#include "IFileClass.h"

#include <QList>
#include <QSet>
#include <QStringList>

// A particle document: the format code, the string dictionary and every
// element in file order. Element 0 is the root ("DmElement"), whose
// attribute "particleSystemDefinitions" lists the particle systems; other
// attributes of the root (the engine's editor puts "editorType" first) are
// kept where they stand.
//
// The document frees the root, which owns every system and through them
// everything else. Elements of a file that nothing owns are freed by the
// document as well.
class CFilePCF : public IFileClass<CFilePCF>
{
public:
    CFilePCF();
    ~CFilePCF() override;

    using IFileClass<CFilePCF>::write;
    // The whole stream is one particle file, read or written in `format`.
    bool read(QDataStream &stream) override;
    bool write(QDataStream &stream) override;

    // Frees everything and leaves a fresh, empty document (format 0).
    void clear();

    // Element 0, or null.
    DMXElement *root() const { return elements.value(0); }
    // The list of the root's first ELEMENT_ARRAY "particleSystemDefinitions",
    // wherever it stands among the root's attributes; otherwise null.
    DMXElementList *systemList() const;
    // The first system of that name in the system list, or null.
    DMXElement *findParticleSystem(const QString &systemName) const;
    QList<DMXElement *> elementsOfType(const QString &typeName) const;
    QList<DMXElement *> elementsNamed(const QString &elementName) const;

    // Takes the element and everything it owns out of the document: out of
    // `elements` and out of every owning reference. With deleteElement set the
    // element is freed with everything it owns; otherwise the caller owns it.
    // Non-owning references (a "child" link to a system) are left alone.
    // The root is never removed (false).
    // `removed`, when given, receives every element taken out.
    bool removeElement(DMXElement *element, bool deleteElement,
                       QSet<DMXElement *> *removed = nullptr);
    // The same for many elements at once, in one walk over the document (null
    // entries and the root are skipped). Hands back, without deleteElements,
    // the elements the caller now owns: the targets that no other target owns.
    QList<DMXElement *> removeElements(const QList<DMXElement *> &targets, bool deleteElements,
                                       QSet<DMXElement *> *removed = nullptr);
    // Takes every reference to the given elements, owning or not, out of the
    // elements of the document, without freeing them: the clean-up after
    // elements were freed that plain references may still name.
    void dropReferencesTo(const QSet<DMXElement *> &targets);

    // Copies of the given systems and of every system they name as children
    // (any depth), each once, the "child" links among the copies pointing at
    // the copies. False (nothing made) when the list is empty or names
    // something that is not a system of this document. The caller owns the
    // copies.
    bool copySystems(const QList<DMXElement *> &systems, QList<DMXElement *> *copies) const;

    // Elements read from a file that no owning reference claimed; the reader
    // records them so that they are freed with the document.
    void setUnowned(const QList<DMXElement *> &unowned);

    int format = 0;
    int stringCount = 0;
    QStringList strings;
    int elementCount = 0;
    QList<DMXElement *> elements;

private:
    // Elements the document frees besides the root (see setUnowned).
    QList<DMXElement *> m_unowned;
    // Attribute records taken out of elements; editor rows may still look at
    // them, so they live as long as the document.
    QList<DMXAttribute *> m_detached;
};

// An empty document of a format: a root "untitled" with an empty
// "particleSystemDefinitions". Null for format 0.
CFilePCF *newDmxRoot(int format);
