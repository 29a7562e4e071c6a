// Entity definition files (".fgd"): loaded as the program loads them, every
// record's texts and type names taken as the editor shows them, and the text
// read a second time into the same document, as a read appends.
#include "CFileFGD.h"
#include "FGDText.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include <memory>

using FuzzCheck::require;

namespace {

quint64 textBytes(const QList<QByteArray> &texts)
{
    quint64 total = 0;
    for (const QByteArray &text : texts)
        total += quint64(text.size());
    return total;
}

// The bytes of every text the document holds, each type name checked on the
// way.
quint64 documentText(const CFileFGD &document)
{
    quint64 total = quint64(document.includes.join(QString()).size() +
                            document.materialExclusions.join(QString()).size());
    for (const FGDAutoVisgroup &group : document.autoVisgroups) {
        total += quint64(group.name.size());
        for (const FGDAutoVisgroupMinor &minor : group.minors)
            total += quint64(minor.name.size()) + textBytes(minor.entities);
    }
    for (const FGDEntityClass &entityClass : document.classes) {
        require(!FGD::classTypeName(entityClass.type).isEmpty(), "a class without a type name");
        total +=
            textBytes(entityClass.bases) +
            textBytes({entityClass.iconSprite, entityClass.studioPropModel, entityClass.studioModel,
                       entityClass.classname, entityClass.description}) +
            textBytes(entityClass.flagTexts.toList());
        for (const FGDLine &line : entityClass.lines)
            total += textBytes({line.source, line.target});
        for (const FGDCylinder &c : entityClass.cylinders)
            total += textBytes({c.source, c.target, c.value3, c.value4, c.value5, c.value6});
        for (const FGDKeyvalue &keyvalue : entityClass.keyvalues) {
            require(!FGD::parameterTypeName(keyvalue.type).isEmpty(),
                    "a keyvalue without a type name");
            total += textBytes(
                {keyvalue.name, keyvalue.displayName, keyvalue.defaultValue, keyvalue.description});
            for (const FGDChoice &choice : keyvalue.choices)
                total += textBytes({choice.value, choice.text});
        }
        for (const auto *list : {&entityClass.inputs, &entityClass.outputs}) {
            for (const FGDInputOutput &item : *list) {
                require(!FGD::parameterTypeName(item.type).isEmpty(),
                        "an input or output without a type name");
                total += textBytes({item.name, item.description});
            }
        }
    }
    return total;
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    // The program asks the user about each unknown helper: one question per
    // helper written.
    static quint64 unknownItems = 0;
    static const bool hooked = [] {
        CFileFGD::setUnknownItemHook([](const QByteArray &) { ++unknownItems; });
        return true;
    }();
    Q_UNUSED(hooked)
    unknownItems = 0;

    QString error;
    std::unique_ptr<CFileFGD> document(CFileFGD::fromByteArray(input, error));
    FuzzCheck::requireLinear(unknownItems, input.size(), 1, 0, "unknown helpers");
    if (!document) {
        require(error.startsWith(QLatin1String("Read Error: ")), "a definition fails unexplained");
        return 0;
    }
    // Each text is bytes of the input, but for the "+" joins.
    FuzzCheck::requireLinear(documentText(*document), input.size(), 1, 0, "definition texts");

    const int includes = document->includes.size();
    const int exclusions = document->materialExclusions.size();
    const int classes = document->classes.size();
    require(document->parse(input), "a definition reads only once");
    require(document->includes.size() == includes &&
                document->materialExclusions.size() == exclusions,
            "a second read repeats names");
    require(document->classes.size() == 2 * classes, "a second read loses classes");
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    // The hand-written sample of the definition tests, which uses every
    // directive, helper and body form.
    const QByteArray source =
        readFile(QStringLiteral(OSTREL_SOURCE_DIR "/tests/gamedata/tst_fgd.cpp"));
    const QByteArray open = "R\"FGD(";
    const int start = source.indexOf(open);
    const int end = source.indexOf(")FGD\"", start);
    if (start < 0 || end < 0)
        FuzzCheck::failure("the sample definitions are not in tests/gamedata/tst_fgd.cpp");
    return {source.mid(start + open.size(), end - start - open.size()),
            "\xEF\xBB\xBF@PointClass base(A) = a : \"x\" + \"y\" [ k(choices) : \"K\" : 0 = [ 0 : "
            "\"no\" ] ]\r\n@gridnav(1, 2)\r\n"};
}
