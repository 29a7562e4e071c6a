#pragma once

#include "DMXElement.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class CFilePCF;
class DMXAttribute;

// The particle editor's structural edits on the model, free of widgets: the
// editor asks the user, calls one of these, and then brings the rows that show
// the changed attribute or element up to date.
//
// Elements an edit adds to the graph are added to the document's flat element
// list as well, together with everything they own, so that the writer finds
// every element it has to reference.
namespace PCFEditing {

// Names the editor looks for (exact, case-sensitive).
namespace Names {
inline const char *const SystemList = "particleSystemDefinitions";
inline const char *const SystemType = "DmeParticleSystemDefinition";
inline const char *const ChildEntryType = "DmeParticleChild";
inline const char *const Children = "children";
inline const char *const Child = "child";
inline const char *const Delay = "delay";
inline const char *const EmptySystem = "empty";
inline const char *const DefaultSystem = "default";
} // namespace Names

// The lists of a system that Add Element fills from the template.
bool isFunctionList(const QString &name);

// What a tree row shows for an attribute: the Name column (an element's name
// for ELEMENT, the attribute's name otherwise), the Data Type column and the
// Value column (the attribute's name and the element's GUID for ELEMENT).
QString rowName(const DMXAttribute *attribute);
QString rowType(const DMXAttribute *attribute);
QString rowValue(const DMXAttribute *attribute);

// Name of the stand-alone attribute that shows item `index` of an array: the
// element's type name for ELEMENT_ARRAY, "name[index]" for the other arrays.
QString itemName(const DMXAttribute *array, int index);
// A stand-alone, non-owning attribute over item `index` of the array (the item
// itself, not a copy; an ELEMENT of no element for a null reference); null
// when there is no such item.
DMXAttribute *newItemWrapper(const DMXAttribute *array, int index);

// The template documents' parts the additions copy from: the first element of
// that name in the template's flat list, and the list a "default" system
// offers for a function list.
DMXElement *templateElement(const CFilePCF *templateDocument, const QString &name);
QList<DMXElement *> functionChoices(const CFilePCF *templateDocument, const QString &listName);

// Appends the attribute to the element unless the element already has one of
// that name; false (the caller keeps the attribute) otherwise.
bool addAttribute(DMXElement *element, DMXAttribute *attribute);

// A copy of the template's "empty" system with fresh GUIDs, named `name`
// (trimmed) and appended to `systems`. Null, with nothing changed, for an
// empty name, a name some system of the document already has, or a template
// without "empty".
DMXElement *addParticleSystem(CFilePCF *document, DMXAttribute *systems,
                              const CFilePCF *templateDocument, const QString &name);
// A copy of a template function element with fresh GUIDs, appended to `list`.
DMXElement *addFunctionElement(CFilePCF *document, DMXAttribute *list,
                               const DMXElement *templateFunction);

// The systems a system may take as a child: every system of the document
// except itself and those it reaches or that reach it through child links.
QList<DMXElement *> childChoices(const CFilePCF *document, const DMXElement *system);
// A new "DmeParticleChild" named like `child`, holding "delay" (FLOAT 0) and a
// non-owning "child" link, appended to `children`. Null when the link would
// make a cycle or `child` is not a system of the document.
DMXElement *addChild(CFilePCF *document, DMXAttribute *children, const DMXElement *system,
                     DMXElement *child);

// Appends a default item to any array attribute (an unnamed, untyped element
// for ELEMENT_ARRAY, which also joins the flat list). The new item, or null
// for an attribute that is not an array.
void *addArrayItem(CFilePCF *document, DMXAttribute *array);

// Renames an element unless the trimmed name is empty or some system of the
// document already has it.
bool renameElement(const CFilePCF *document, DMXElement *element, const QString &name);

// A scalar attribute (INTEGER to MATRIX) that owns its value becomes a
// one-item array of that value.
bool toArray(DMXAttribute *attribute);
// An array attribute other than ELEMENT_ARRAY becomes its item `index` (the
// type's default for an empty array).
bool fromArray(DMXAttribute *attribute, int index);
// Value texts of the items of an array attribute.
QStringList itemTexts(const DMXAttribute *array);

// One line per dictionary string: the position right-aligned to the digits of
// the dictionary size, " : ", the string.
QStringList dictionaryLines(const CFilePCF *document);

// Elements taken out of a document but not yet freed, so that the rows that
// show them can be found and removed first.
struct Removal
{
    // Every element taken out.
    QSet<DMXElement *> removed;
    // Tops of the taken-out trees; freeing them frees `removed`.
    QList<DMXElement *> tops;
};

// Takes the element and everything it owns out of the document, with every
// reference to any of them: a "DmeParticleChild" that links to one of them is
// taken out as well (and so on), any other attribute pointing at one is
// dropped from its element. False, with nothing changed, for the root or an
// element that is not part of the document.
bool takeElement(CFilePCF *document, DMXElement *element, Removal *removal);
// Frees what takeElement took out and empties the record.
void freeRemoval(Removal *removal);

// Takes the attribute, looked up by identity, out of the element's list; the
// caller frees it. False when the element does not hold it.
bool takeAttribute(DMXElement *element, DMXAttribute *attribute);
// Takes the item, looked up by identity, out of an array attribute's list and
// frees it when the attribute owns its value. False when the list lacks it.
bool removeArrayItem(DMXAttribute *array, void *item);
// Takes item `index` out of an ELEMENT_ARRAY when it is the null reference
// (which no identity lookup can tell from another). False otherwise.
bool removeNullItem(DMXAttribute *list, int index);

} // namespace PCFEditing
