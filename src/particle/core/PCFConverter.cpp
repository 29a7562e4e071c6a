// Format conversion: every particle system of a document is made to look like
// the template system of the target encoding, keeping what the games of that
// encoding read: everything, when it is the document's own encoding, and
// otherwise what the target's kept list names beyond its template. The work
// is linear in the size of the document: template attributes and list
// entries are found through indices built once per template element, lists
// are filtered in one pass, and the cut-loose elements leave the document in
// one walk.
#include "PCFDelegate.h"

#include "CFilePCF.h"
#include "PCFConversionLoss.h"
#include "PCFErrors.h"
#include "PCFKeptList.h"

#include <QHash>
#include <QSet>
#include <QVarLengthArray>
#include <QVector>

#include <algorithm>
#include <unordered_map>

namespace {

const QString childrenName = QStringLiteral("children");
const QString childEntryType = QStringLiteral("DmeParticleChild");
const QString childName = QStringLiteral("child");
const QString delayName = QStringLiteral("delay");
const QString functionNameName = QStringLiteral("functionName");

// Where a template element's attributes and list entries are found by name.
struct TemplateIndex
{
    // Name to the positions of the first attribute of each type so named.
    QHash<QString, QVarLengthArray<int, 2>> byName;
    // Per attribute, the position of the first attribute of its name and type.
    QVector<int> firstOf;
    // Per ELEMENT_ARRAY position: case-folded entry name to the entries so
    // named, in list order.
    QHash<int, QHash<QString, QVector<const DMXElement *>>> entries;
};

// Keeps the entries whose flag is set, in one pass.
template <typename Flags>
void keepMarked(DMXElementList *list, const Flags &keep)
{
    DMXElementList kept;
    kept.reserve(list->size());
    for (int i = 0; i < list->size(); ++i) {
        if (keep[i])
            kept.append(list->at(i));
    }
    list->swap(kept);
}

struct ConformTask
{
    DMXElement *element;
    const DMXElement *templateElement;
    // What the target's games know of the element's function beyond its
    // template, for a function element.
    const PCFKeptList::Function *kept = nullptr;
};

class Conformer
{
public:
    Conformer() = default;
    // `sameEncoding`: the document was written for the target encoding, whose
    // games read all of it, so no list need be asked. Otherwise `kept` (may
    // be null) says what they know beyond the template.
    Conformer(bool sameEncoding, const PCFKeptList *kept)
        : m_sameEncoding(sameEncoding)
        , m_kept(sameEncoding ? nullptr : kept)
    {}

    // Conforms the element and everything it owns below; the elements cut
    // loose go to `removed`, what was dropped to `loss` (when given).
    void run(DMXElement *top, const DMXElement *templateTop, PCFConversionLoss *loss);

    QList<DMXElement *> removed;

private:
    const TemplateIndex &indexOf(const DMXElement *templateElement);
    int match(const DMXElement *templateElement, const TemplateIndex &index,
              const DMXAttribute *attribute) const;
    void conformOne(const ConformTask &task, QVector<ConformTask> &pending);
    void conformEntries(DMXAttribute *attribute, const TemplateIndex &index, int templatePosition,
                        QVector<ConformTask> &pending);
    void cleanChildren(DMXElement *owner, DMXAttribute *children);
    void cutLoose(DMXElement *owner, DMXAttribute *attribute);
    bool keepsUnmatched(const ConformTask &task, const TemplateIndex &index,
                        const DMXAttribute *attribute) const;
    bool keepsEntry(const QString &list, const QString &function) const;
    const PCFKeptList::Function *keptFunction(const QString &list, const QString &function) const;
    QString ownerName(const DMXElement *element) const;

    std::unordered_map<const DMXElement *, TemplateIndex> m_indices;
    PCFConversionLoss *m_loss = nullptr;
    const DMXElement *m_top = nullptr;
    bool m_sameEncoding = false;
    const PCFKeptList *m_kept = nullptr;
};

const TemplateIndex &Conformer::indexOf(const DMXElement *templateElement)
{
    auto found = m_indices.find(templateElement);
    if (found != m_indices.end())
        return found->second;
    TemplateIndex &index = m_indices[templateElement];
    const DMXAttributeList &attributes = templateElement->attributes;
    index.firstOf.fill(-1, attributes.size());
    for (int i = 0; i < attributes.size(); ++i) {
        const DMXAttribute *attribute = attributes[i];
        if (!attribute)
            continue;
        QVarLengthArray<int, 2> &positions = index.byName[attribute->name()];
        int first = i;
        for (int position : positions) {
            if (attributes[position]->type() == attribute->type())
                first = position;
        }
        if (first == i)
            positions.append(i);
        index.firstOf[i] = first;
        if (const DMXElementList *list = attribute->elementList()) {
            QHash<QString, QVector<const DMXElement *>> &entries = index.entries[i];
            for (const DMXElement *entry : *list) {
                if (entry)
                    entries[entry->name.toCaseFolded()].append(entry);
            }
        }
    }
    return index;
}

// The position of the template's first attribute of that name and type, or
// -1.
int Conformer::match(const DMXElement *templateElement, const TemplateIndex &index,
                     const DMXAttribute *attribute) const
{
    const auto found = index.byName.constFind(attribute->name());
    if (found == index.byName.cend())
        return -1;
    for (int position : *found) {
        if (templateElement->attributes[position]->type() == attribute->type())
            return position;
    }
    return -1;
}

// An attribute without its name and type in the template stays where the
// target's games read it: in the document's own encoding unless the template
// gives its name another type (then the template's replaces it), otherwise
// where the kept list names it for the element's function with its type.
bool Conformer::keepsUnmatched(const ConformTask &task, const TemplateIndex &index,
                               const DMXAttribute *attribute) const
{
    if (m_sameEncoding)
        return !index.byName.contains(attribute->name());
    return task.kept && task.kept->keeps(attribute->name(), attribute->type());
}

// A list entry without a template counterpart stays, untouched, in the
// document's own encoding and where the kept list names its function whole.
bool Conformer::keepsEntry(const QString &list, const QString &function) const
{
    if (m_sameEncoding)
        return true;
    const PCFKeptList::Function *kept = keptFunction(list, function);
    return kept && kept->whole;
}

const PCFKeptList::Function *Conformer::keptFunction(const QString &list,
                                                     const QString &function) const
{
    return m_kept ? m_kept->function(list, function) : nullptr;
}

QString Conformer::ownerName(const DMXElement *element) const
{
    return element == m_top ? QString() : element->name;
}

// What an attribute about to be deleted owned is cut loose onto `removed`;
// what it merely pointed at (a system named by a "child" link) is not the
// conversion's to remove.
void Conformer::cutLoose(DMXElement *owner, DMXAttribute *attribute)
{
    if (!attribute)
        return;
    if (m_loss)
        m_loss->dropParameter(ownerName(owner), attribute->name());
    if (attribute->ownsValue()) {
        if (DMXElement *single = attribute->element())
            removed.append(single);
        else if (const DMXElementList *list = attribute->elementList())
            removed.append(*list);
        // Elements are freed by the document later; other values go with the
        // attribute.
        if (DMX::refersToElements(attribute->type()))
            attribute->setOwnsValue(false);
    }
    delete attribute;
}

// A "children" list keeps only "DmeParticleChild" entries whose ELEMENT
// "child" names an element (a null one names none) and gains a FLOAT "delay"
// of 0 where it lacks one.
void Conformer::cleanChildren(DMXElement *owner, DMXAttribute *children)
{
    DMXElementList *list = children->elementList();
    QVarLengthArray<bool, 16> keep(list->size());
    for (int i = list->size() - 1; i >= 0; --i) {
        DMXElement *entry = list->at(i);
        keep[i] = true;
        if (!entry)
            continue;
        // A damaged file may list an element among its own children (never
        // owned: the reader refuses that). Cleaning it as an entry would free
        // the very list being walked, so the entry only leaves the list.
        if (entry == owner || entry->type != childEntryType) {
            keep[i] = false;
            if (m_loss)
                m_loss->dropFunction(children->name(), entry->name);
            if (entry != owner && children->ownsValue())
                removed.append(entry);
            continue;
        }
        bool hasDelay = false;
        bool hasChild = false;
        QList<DMXAttribute *> kept;
        for (int j = entry->attributes.size() - 1; j >= 0; --j) {
            DMXAttribute *attribute = entry->attributes[j];
            if (attribute && attribute->name() == delayName && attribute->type() == ATTRIBUTE_FLOAT)
                hasDelay = true;
            else if (attribute && attribute->name() == childName &&
                     attribute->type() == ATTRIBUTE_ELEMENT)
                hasChild = hasChild || attribute->element();
            else {
                cutLoose(entry, attribute);
                continue;
            }
            kept.prepend(attribute);
        }
        entry->attributes = kept;
        if (!hasChild) {
            // It stays in the list until the document removes it.
            if (m_loss)
                m_loss->dropFunction(children->name(), entry->name);
            if (children->ownsValue())
                removed.append(entry);
        } else if (!hasDelay) {
            auto *delay = new DMXAttribute;
            delay->setName(delayName);
            delay->setValue(ATTRIBUTE_FLOAT, newDmxAttributeValue(ATTRIBUTE_FLOAT));
            entry->attributes.append(delay);
        }
    }
    keepMarked(list, keep);
}

// What the engine looks a function element up by: the text of its STRING
// "functionName", or without one the element's own name.
const QString &functionName(const DMXElement *item)
{
    for (const DMXAttribute *attribute : item->attributes) {
        if (attribute && attribute->type() == ATTRIBUTE_STRING &&
            attribute->name() == functionNameName)
            return *static_cast<const QString *>(attribute->value());
    }
    return item->name;
}

// The entries of a matched ELEMENT_ARRAY other than "children": each is kept
// and conformed to the first element of the template's list of its type whose
// name equals its function name, in any case; without one it stays as it is
// where the target's games know it, and is taken out otherwise. It keeps its
// own name and function name.
void Conformer::conformEntries(DMXAttribute *attribute, const TemplateIndex &index,
                               int templatePosition, QVector<ConformTask> &pending)
{
    DMXElementList *list = attribute->elementList();
    const QHash<QString, QVector<const DMXElement *>> entries =
        index.entries.value(templatePosition);
    QVarLengthArray<bool, 64> keep(list->size());
    for (int k = list->size() - 1; k >= 0; --k) {
        DMXElement *item = list->at(k);
        keep[k] = true;
        if (!item)
            continue;
        const QString &function = functionName(item);
        const DMXElement *itemTemplate = nullptr;
        const auto candidates = entries.constFind(function.toCaseFolded());
        if (candidates != entries.cend()) {
            for (const DMXElement *candidate : *candidates) {
                if (candidate->type == item->type) {
                    itemTemplate = candidate;
                    break;
                }
            }
        }
        if (itemTemplate) {
            if (attribute->ownsValue())
                pending.append(
                    ConformTask{item, itemTemplate, keptFunction(attribute->name(), function)});
            continue;
        }
        if (keepsEntry(attribute->name(), function))
            continue;
        keep[k] = false;
        if (m_loss)
            m_loss->dropFunction(attribute->name(), item->name);
        if (attribute->ownsValue())
            removed.append(item);
    }
    keepMarked(list, keep);
}

// The attribute and addition passes for one element; elements to conform
// further are pushed onto `pending`.
void Conformer::conformOne(const ConformTask &task, QVector<ConformTask> &pending)
{
    DMXElement *element = task.element;
    const DMXElement *templateElement = task.templateElement;
    const TemplateIndex &index = indexOf(templateElement);
    QVarLengthArray<bool, 64> present(templateElement->attributes.size());
    std::fill(present.begin(), present.end(), false);

    QList<DMXAttribute *> kept;
    kept.reserve(element->attributes.size());
    for (int i = element->attributes.size() - 1; i >= 0; --i) {
        DMXAttribute *attribute = element->attributes[i];
        const int position = attribute ? match(templateElement, index, attribute) : -1;
        if (position < 0) {
            if (attribute && keepsUnmatched(task, index, attribute))
                kept.append(attribute);
            else
                cutLoose(element, attribute);
            continue;
        }
        kept.append(attribute);
        present[position] = true;
        const DMXAttribute *templateAttribute = templateElement->attributes[position];
        // Only owned elements are conformed: what a plain reference points at
        // belongs to, and is conformed through, its owner.
        if (attribute->type() == ATTRIBUTE_ELEMENT) {
            if (attribute->ownsValue() && templateAttribute->element())
                pending.append(ConformTask{attribute->element(), templateAttribute->element()});
        } else if (attribute->type() == ATTRIBUTE_ELEMENT_ARRAY) {
            if (attribute->name() == childrenName)
                cleanChildren(element, attribute);
            else
                conformEntries(attribute, index, position, pending);
        }
    }
    std::reverse(kept.begin(), kept.end());
    element->attributes = kept;

    const DMXAttributeList &templates = templateElement->attributes;
    for (int j = 0; j < templates.size(); ++j) {
        const DMXAttribute *templateAttribute = templates[j];
        if (!templateAttribute || DMX::refersToElements(templateAttribute->type()) ||
            templateAttribute->type() == ATTRIBUTE_UNKNOWN ||
            templateAttribute->type() >= DMX::TypeCount)
            continue;
        // An attribute of the element matches the first template attribute
        // of its name and type, so that one tells whether it is present.
        if (!present[index.firstOf[j]]) {
            element->attributes.append(templateAttribute->clone());
            present[index.firstOf[j]] = true;
        }
    }
}

void Conformer::run(DMXElement *top, const DMXElement *templateTop, PCFConversionLoss *loss)
{
    m_loss = loss;
    m_top = top;
    // Worked through with a stack and a visited set, so that deep or shared
    // structures neither exhaust the call stack nor get conformed twice.
    QVector<ConformTask> pending{{top, templateTop}};
    QSet<const DMXElement *> visited;
    while (!pending.isEmpty()) {
        const ConformTask task = pending.takeLast();
        if (!task.element || !task.templateElement || visited.contains(task.element))
            continue;
        visited.insert(task.element);
        conformOne(task, pending);
    }
}

} // namespace

QList<DMXElement *> PCFDelegate::conformElement(DMXElement *element,
                                                const DMXElement *templateElement,
                                                PCFConversionLoss *loss)
{
    if (!element || !templateElement)
        return {};
    Conformer conformer;
    conformer.run(element, templateElement, loss);
    return conformer.removed;
}

QString PCFDelegate::convert(CFilePCF *document, int target, const DMXElement *templateSystem,
                             PCFConversionReport *report, const PCFKeptList *kept)
{
    const DMXElementList *systems = document ? document->systemList() : nullptr;
    return convertSystems(document, systems ? *systems : DMXElementList(),
                          document ? document->format : 0, target, templateSystem, report, kept);
}

QString PCFDelegate::convertSystems(CFilePCF *document, const QList<DMXElement *> &systems,
                                    int source, int target, const DMXElement *templateSystem,
                                    PCFConversionReport *report, const PCFKeptList *kept)
{
    QString failure;
    if (!document)
        failure = QString::fromLatin1(PCFError::FormatNoData);
    else if (source == 0)
        failure = QString::fromLatin1(PCFError::FormatSource);
    else if (target == 0)
        failure = QString::fromLatin1(PCFError::FormatTarget);
    else if (!templateSystem)
        failure = QString::fromLatin1(PCFError::FormatTemplate);
    if (!failure.isNull()) {
        setError(failure);
        return failure;
    }

    // One conformer for all systems: they share the template's indices.
    Conformer conformer(source == target, kept);
    // A damaged file may list the root among its systems; conforming it would
    // drop the system list itself and every system with it.
    for (DMXElement *system : systems) {
        if (!system || system == document->root())
            continue;
        PCFConversionLoss loss(system->name);
        conformer.run(system, templateSystem, &loss);
        if (report && !loss.isEmpty())
            report->append(loss);
    }

    // Each element is freed once, with everything it owns, in one walk.
    QSet<DMXElement *> gone;
    document->removeElements(conformer.removed, true, &gone);
    // No plain reference may be left pointing at a freed element.
    document->dropReferencesTo(gone);
    return QString();
}
