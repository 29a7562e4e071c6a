#include "PCFEditing.h"

#include "CFilePCF.h"
#include "DMXAttribute.h"

#include <QHash>
#include <QVector>

namespace {

QString name(const char *text)
{
    return QString::fromLatin1(text);
}

bool isSystem(const DMXElement *element)
{
    return element && element->type == name(PCFEditing::Names::SystemType);
}

// A copy of a template element and what it owns. Plain references inside the
// copied tree are pointed at the copies; plain references that lead out of it
// (into the template document) are dropped, so that nothing of the template
// and no copy owned by nobody ends up in the document.
DMXElement *copyFromTemplate(const DMXElement *source)
{
    QHash<const DMXElement *, DMXElement *> copies;
    QList<DMXAttribute *> unresolved;
    DMXElement *top = DMXElement::copyOwnedTree(source, copies, unresolved);
    QSet<DMXAttribute *> dangling;
    for (DMXAttribute *attribute : qAsConst(unresolved)) {
        if (attribute->type() == ATTRIBUTE_ELEMENT) {
            DMXElement *copy = copies.value(attribute->element());
            if (copy)
                attribute->setPointer(copy);
            else
                dangling.insert(attribute);
        } else if (DMXElementList *list = attribute->elementList()) {
            for (int i = list->size() - 1; i >= 0; --i) {
                DMXElement *copy = copies.value(list->at(i));
                if (copy)
                    (*list)[i] = copy;
                else
                    list->removeAt(i);
            }
        }
    }
    if (!dangling.isEmpty()) {
        for (DMXElement *copy : qAsConst(copies)) {
            for (int i = copy->attributes.size() - 1; i >= 0; --i) {
                if (dangling.contains(copy->attributes[i]))
                    delete copy->attributes.takeAt(i);
            }
        }
    }
    return top;
}

// Appends a new element to an owning element list and everything it owns to
// the document's flat list.
void adopt(CFilePCF *document, DMXAttribute *list, DMXElement *element)
{
    list->elementList()->append(element);
    document->elements += element->ownedTree();
}

bool ownsElementList(const DMXAttribute *attribute)
{
    return attribute && attribute->ownsValue() && attribute->elementList();
}

bool systemNamed(const CFilePCF *document, const QString &systemName)
{
    for (const DMXElement *element : document->elements) {
        if (isSystem(element) && element->name == systemName)
            return true;
    }
    return false;
}

bool partOfDocument(const CFilePCF *document, DMXElement *element)
{
    if (document->elements.contains(element))
        return true;
    const DMXElement *root = document->root();
    if (!root)
        return false;
    const DMXReferenceList pairs = root->flattenTree();
    for (const DMXReference &pair : pairs) {
        if (pair.element == element)
            return true;
    }
    return false;
}

// The "DmeParticleChild" entries of the document that link to a removed
// element and are not removed themselves.
QList<DMXElement *> orphanedEntries(const CFilePCF *document, const QSet<DMXElement *> &removed)
{
    QList<DMXElement *> out;
    for (DMXElement *entry : document->elements) {
        if (!entry || removed.contains(entry) ||
            entry->type != name(PCFEditing::Names::ChildEntryType))
            continue;
        for (const DMXAttribute *attribute : qAsConst(entry->attributes)) {
            if (attribute && attribute->name() == name(PCFEditing::Names::Child) &&
                removed.contains(attribute->element())) {
                out.append(entry);
                break;
            }
        }
    }
    return out;
}

} // namespace

bool PCFEditing::isFunctionList(const QString &listName)
{
    static const QStringList lists{
        QStringLiteral("renderers"), QStringLiteral("operators"), QStringLiteral("initializers"),
        QStringLiteral("emitters"),  QStringLiteral("forces"),    QStringLiteral("constraints"),
    };
    return lists.contains(listName);
}

QString PCFEditing::rowName(const DMXAttribute *attribute)
{
    if (!attribute)
        return QString();
    if (const DMXElement *element = attribute->element())
        return element->name;
    return attribute->name();
}

QString PCFEditing::rowType(const DMXAttribute *attribute)
{
    return attribute ? DMX::typeName(attribute->type()) : QString();
}

QString PCFEditing::rowValue(const DMXAttribute *attribute)
{
    if (!attribute)
        return QString();
    if (const DMXElement *element = attribute->element())
        return attribute->name() + QLatin1Char(' ') + element->guid.toString();
    return attribute->valueString();
}

QString PCFEditing::itemName(const DMXAttribute *array, int index)
{
    if (const DMXElementList *list = array->elementList()) {
        const DMXElement *item = list->value(index);
        return item ? item->type : QString();
    }
    return QStringLiteral("%1[%2]").arg(array->name()).arg(index);
}

DMXAttribute *PCFEditing::newItemWrapper(const DMXAttribute *array, int index)
{
    if (!array || index < 0 || index >= array->itemCount())
        return nullptr;
    void *item = array->elementList() ? static_cast<void *>(array->elementList()->at(index))
                                      : array->valueList()->at(index);
    // A null element item is the null reference, shown as an empty value.
    if (!item && !array->elementList())
        return nullptr;
    return newDmxAttribute(DMX::itemType(array->type()), item, itemName(array, index));
}

DMXElement *PCFEditing::templateElement(const CFilePCF *templateDocument,
                                        const QString &elementName)
{
    if (!templateDocument)
        return nullptr;
    return templateDocument->elementsNamed(elementName).value(0);
}

QList<DMXElement *> PCFEditing::functionChoices(const CFilePCF *templateDocument,
                                                const QString &listName)
{
    QList<DMXElement *> out;
    const DMXElement *system = templateElement(templateDocument, name(Names::DefaultSystem));
    const DMXAttribute *list = system ? system->attribute(listName) : nullptr;
    if (list && list->elementList()) {
        for (DMXElement *element : *list->elementList()) {
            if (element)
                out.append(element);
        }
    }
    return out;
}

bool PCFEditing::addAttribute(DMXElement *element, DMXAttribute *attribute)
{
    if (!element || !attribute || element->attribute(attribute->name()))
        return false;
    element->attributes.append(attribute);
    return true;
}

DMXElement *PCFEditing::addParticleSystem(CFilePCF *document, DMXAttribute *systems,
                                          const CFilePCF *templateDocument,
                                          const QString &systemName)
{
    const QString trimmed = systemName.trimmed();
    if (!document || !ownsElementList(systems) || trimmed.isEmpty() || !templateDocument ||
        systemNamed(document, trimmed))
        return nullptr;
    const DMXElement *empty = templateElement(templateDocument, name(Names::EmptySystem));
    if (!empty)
        return nullptr;
    DMXElement *copy = copyFromTemplate(empty);
    copy->renewGuid(true);
    copy->name = trimmed;
    adopt(document, systems, copy);
    return copy;
}

DMXElement *PCFEditing::addFunctionElement(CFilePCF *document, DMXAttribute *list,
                                           const DMXElement *templateFunction)
{
    if (!document || !ownsElementList(list) || !templateFunction)
        return nullptr;
    DMXElement *copy = copyFromTemplate(templateFunction);
    copy->renewGuid(true);
    adopt(document, list, copy);
    return copy;
}

QList<DMXElement *> PCFEditing::childChoices(const CFilePCF *document, const DMXElement *system)
{
    QList<DMXElement *> out;
    if (!document || !system)
        return out;
    for (DMXElement *candidate : document->elements) {
        if (!isSystem(candidate) || candidate == system || system->hasChildSystem(candidate) ||
            candidate->hasChildSystem(system) || out.contains(candidate))
            continue;
        out.append(candidate);
    }
    return out;
}

DMXElement *PCFEditing::addChild(CFilePCF *document, DMXAttribute *children,
                                 const DMXElement *system, DMXElement *child)
{
    if (!ownsElementList(children) || !childChoices(document, system).contains(child))
        return nullptr;
    auto *entry = new DMXElement;
    entry->type = name(Names::ChildEntryType);
    entry->name = child->name;
    auto *delay = new DMXAttribute;
    delay->setName(name(Names::Delay));
    delay->setValue(ATTRIBUTE_FLOAT, new float(0.0f));
    entry->attributes.append(delay);
    entry->attributes.append(newDmxAttribute(ATTRIBUTE_ELEMENT, child, name(Names::Child)));
    adopt(document, children, entry);
    return entry;
}

void *PCFEditing::addArrayItem(CFilePCF *document, DMXAttribute *array)
{
    if (!document || !array || !array->ownsValue() || !DMX::isArray(array->type()) ||
        !array->value())
        return nullptr;
    if (array->elementList()) {
        auto *element = new DMXElement;
        adopt(document, array, element);
        return element;
    }
    void *item = newDmxAttributeValue(DMX::itemType(array->type()));
    if (item)
        array->valueList()->append(item);
    return item;
}

bool PCFEditing::renameElement(const CFilePCF *document, DMXElement *element,
                               const QString &newName)
{
    const QString trimmed = newName.trimmed();
    if (!document || !element || trimmed.isEmpty() || systemNamed(document, trimmed))
        return false;
    element->name = trimmed;
    return true;
}

bool PCFEditing::toArray(DMXAttribute *attribute)
{
    if (!attribute || !attribute->ownsValue() || attribute->type() < ATTRIBUTE_INTEGER ||
        attribute->type() > ATTRIBUTE_MATRIX || !attribute->value())
        return false;
    auto *list = new DMXValueList;
    list->append(DMXAttribute::cloneValue(attribute->value(), attribute->type()));
    return attribute->setValue(DMX::arrayType(attribute->type()), list);
}

bool PCFEditing::fromArray(DMXAttribute *attribute, int index)
{
    const DMXValueList *list = attribute ? attribute->valueList() : nullptr;
    if (!list || !attribute->ownsValue())
        return false;
    const uint itemType = DMX::itemType(attribute->type());
    void *value = nullptr;
    if (list->isEmpty())
        value = newDmxAttributeValue(itemType);
    else if (index >= 0 && index < list->size())
        value = DMXAttribute::cloneValue(list->at(index), itemType);
    if (!value)
        return false;
    return attribute->setValue(itemType, value);
}

QStringList PCFEditing::itemTexts(const DMXAttribute *array)
{
    QStringList out;
    const int count = array ? array->itemCount() : -1;
    for (int i = 0; i < count; ++i) {
        DMXAttribute *wrapper = newItemWrapper(array, i);
        out.append(rowValue(wrapper));
        delete wrapper;
    }
    return out;
}

QStringList PCFEditing::dictionaryLines(const CFilePCF *document)
{
    QStringList out;
    if (!document)
        return out;
    const int width = QString::number(document->strings.size()).size();
    for (int i = 0; i < document->strings.size(); ++i)
        out.append(QStringLiteral("%1 : %2").arg(i, width).arg(document->strings.at(i)));
    return out;
}

bool PCFEditing::takeElement(CFilePCF *document, DMXElement *element, Removal *removal)
{
    if (!document || !element || !removal || element == document->root() ||
        !partOfDocument(document, element))
        return false;
    QSet<DMXElement *> removed;
    if (!document->removeElement(element, false, &removed))
        return false;
    removal->tops.append(element);
    // A child entry without its system is dropped with it, which may orphan
    // further entries inside what it owned; repeat until nothing links in.
    bool progress = true;
    while (progress) {
        progress = false;
        const QList<DMXElement *> entries = orphanedEntries(document, removed);
        for (DMXElement *entry : entries) {
            // The root cannot go, whatever its type; its link is dropped below.
            if (!removed.contains(entry) && document->removeElement(entry, false, &removed)) {
                removal->tops.append(entry);
                progress = true;
            }
        }
    }
    document->dropReferencesTo(removed);
    removal->removed.unite(removed);
    return true;
}

void PCFEditing::freeRemoval(Removal *removal)
{
    if (!removal)
        return;
    qDeleteAll(removal->tops);
    removal->tops.clear();
    removal->removed.clear();
}

bool PCFEditing::takeAttribute(DMXElement *element, DMXAttribute *attribute)
{
    if (!element || !attribute)
        return false;
    const int index = element->attributes.indexOf(attribute);
    if (index < 0)
        return false;
    element->attributes.removeAt(index);
    return true;
}

bool PCFEditing::removeArrayItem(DMXAttribute *array, void *item)
{
    DMXValueList *list = array ? array->valueList() : nullptr;
    const int index = list ? list->indexOf(item) : -1;
    if (index < 0)
        return false;
    list->removeAt(index);
    if (array->ownsValue())
        DMX::deleteValue(DMX::itemType(array->type()), item);
    return true;
}

bool PCFEditing::removeNullItem(DMXAttribute *list, int index)
{
    DMXElementList *items = list ? list->elementList() : nullptr;
    if (!items || index < 0 || index >= items->size() || items->at(index))
        return false;
    items->removeAt(index);
    return true;
}
