// Detail-prop listings (".vbsp"): read, written, read and written again.
#include "CFileVBSP.h"
#include "DetailRecordList.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "VbspFile.h"

#include <memory>

namespace {

// Every line holds either no double quote or the four around a key and its
// value.
bool quotesOnlyDelimit(const QByteArray &listing)
{
    for (const QByteArray &line : listing.split('\n')) {
        const int quotes = line.count('"');
        if (quotes != 0 && (quotes != 4 || !line.trimmed().startsWith('"') ||
                            !line.trimmed().endsWith('"') || !line.contains("\" \"")))
            return false;
    }
    return true;
}

// Every type, group and prop has a name the reader gives back as it is.
bool namesReadBack(const CFileVBSP &document)
{
    bool ok = true;
    for (const CDetailType *type : document.types) {
        ok = ok && DetailRecordList::nameReadsBack(type->name);
        for (const CDetailGroup *group : type->groups) {
            ok = ok && DetailRecordList::nameReadsBack(group->name);
            for (const CDetailProp *prop : group->props)
                ok = ok && DetailRecordList::nameReadsBack(prop->name);
        }
    }
    return ok;
}

} // namespace

int fuzzOne(const QByteArray &input)
{
    std::unique_ptr<CFileVBSP> document(readVbspData(input, "fuzz.vbsp"));
    if (!document)
        return 0;
    const QByteArray written = vbspBytes(*document);
    // A record costs a line of the input and some two hundred bytes written
    // out with its defaults.
    FuzzCheck::requireLinear(quint64(written.size()), input.size(), 256, 4096, "written listing");
    std::unique_ptr<CFileVBSP> again(readVbspData(written, "fuzz.vbsp"));
    FuzzCheck::require(again != nullptr, "a written listing does not read");
    // Names and values are written without escapes: a value holding a double
    // quote or a name that looks like a comment or a brace (which the reader
    // takes from a damaged line) reads back otherwise. Every other listing
    // must read back as it was written.
    if (namesReadBack(*document) && quotesOnlyDelimit(written))
        FuzzCheck::require(vbspBytes(*again) == written,
                           "a written listing reads back differently");
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    const QByteArray prop =
        "\t\t\t\"model\" \"models/a.mdl\"\n\t\t\t\"amount\" \"0.5\"\n"
        "\t\t\t\"sprite\" \"0 0 32 32 512\"\n\t\t\t\"spritesize\" \"0.5 0 16 16\"\n"
        "\t\t\t\"sprite_shape\" \"tri\"\n\t\t\t\"detailOrientation\" \"1\"\n"
        "\t\t\t\"minangle\" \"10\"\n\t\t\t\"maxangle\" \"5\"\n";
    return {"detail\r\n{\r\n\tgrass\r\n\t{\r\n\t\t\"density\" \"1000\"\r\n\t\tgroup\r\n\t\t{\r\n"
            "\t\t\t\"alpha\" \"0.5\"\r\n\t\t\tprop\r\n\t\t\t{\r\n" +
                prop + "\t\t\t}\r\n\t\t}\r\n\t}\r\n}\r\n",
            "// comment\ndetail\n{\nx\n{\n\"density\" \"5\"\ny\n{\nz\n{\n\"upright\" "
            "\"1\"\n}\n}\n}\n}"};
}
