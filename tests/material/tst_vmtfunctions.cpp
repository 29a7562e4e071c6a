#include "Fuzz.h"
#include "vmtbulk.h"
#include "vmtbytes.h"
#include "vmtfunctions.h"

#include <QtTest>

namespace {

enum Routine
{
    Shader,
    KeyValue,
    Proxy,
    RemoveProxies,
    RemoveKeyValues,
    KeyLookup,   // the bulk editor's asterisk value
    RelativePath // text: a path
};

// A material with two quoted proxies and an empty line above its closing brace.
const char *const TwoProxies =
    "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n"
    "\t\t\t\"resultvar\" \"$x\"\n\t\t}\n\t\t\"Linear\"\n\t\t{\n\t\t}\n\t}\n\n}\n";
const char *const NoProxies = "\"S\"\n{\n\t\"$a\" \"1\"\n}\n";
const char *const KeysAndProxies = "\"S\"\n{\n\t\"$Base\" \"a/b\"\n\t$base c\n\t$surf metal\n"
                                   "\t\"Proxies\"\n\t{\n\t\t$base x\n\t}\n}\n";
// A patch material as a map compiler writes it for cubemapped water.
const char *const Water =
    "\"patch\"\n{\n\t\"include\"\t\"materials/nature/water.vmt\"\n\t\"replace\"\n"
    "\t{\n\t\t\"$envmap\"\t\"c0\"\n\t\t\"Proxies\"\n\t\t{\n\t\t\t\"WaterLOD\"\n"
    "\t\t\t{\n\t\t\t}\n\t\t}\n\t}\n}\n";
const char *const WaterProxies =
    "\t\t\"Proxies\"\n\t\t{\n\t\t\t\"WaterLOD\"\n\t\t\t{\n\t\t\t}\n\t\t}\n";
// A map compiler's depth patch, its keys in "insert" only.
const char *const Depth =
    "\"patch\"\r\n{\r\n\t\"include\"\t\"materials/x/y.vmt\"\r\n\t\"insert\"\r\n"
    "\t{\r\n\t\t\"$envmap\"\t\"maps/m/c0_0_0\"\r\n\t}\r\n}\r\n";
// A key in a fallback block ahead of the material's own.
const char *const Hud = "\"UnlitGeneric\"\n{\n\t\"<dx90\"\n\t{\n\t\t\"$outlinecolor\" \"[1 1 1]\"\n"
                        "\t\t\"$outline\" \"1\"\n\t}\n\t\"$outlinecolor\" \"[0 0 0]\"\n}\n";
// A header in capitals closed by "\t} // proxies", braces in quotes and
// comments, a one-line proxy and a key after the block.
const char *const Odd =
    "S\n{\n\t$a 1\n\tPROXIES // animated\n\t{\n\t\tSine { resultvar \"$x\" }\n"
    "\t\t\"Linear\" // {\n\t\t{\n\t\t\t\"$b\" \"}\"\n\t\t}\n\t} // proxies\n\t$c 2\n}\n";

QString edited(const char *text, const char *from, const char *to)
{
    return QString::fromLatin1(text).replace(QLatin1String(from), QLatin1String(to));
}

// The patch with a new "insert" block holding `lines` at the end.
QString waterWithInsert(const char *lines)
{
    return edited(Water, "\t}\n}\n", QByteArray("\t}\n\t\"insert\"\n\t{\n") + lines + "\t}\n}\n");
}
const char *const SineInPatch = "\t\t\"Proxies\"\n\t\t{\n\t\t\t\"Sine\"\n\t\t\t{\n\t\t\t}\n\t\t}\n";

// `args`: the value of a key, or the keys of a proxy followed, after a "=",
// by their values.
void row(const char *tag, Routine routine, const QString &text, const QString &name,
         const QStringList &args, const QString &expected, const QString &message = QString())
{
    QTest::newRow(tag) << int(routine) << text << name << args << expected << message;
}

} // namespace

class TestVmtFunctions : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void bytes();
    void lineEnds_data();
    void lineEnds();
    void damagedScripts();
};

void TestVmtFunctions::golden_data()
{
    QTest::addColumn<int>("routine");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("message"); // or the result of a lookup
    using namespace VmtMessage;
    const char *LG = "LightmappedGeneric";

    row("shader/blank", Shader, " \t\n", LG, {}, " \t\n\"LightmappedGeneric\"\n{\n}\n");
    row("shader/tab-indented", Shader, "\t\"UnlitGeneric\"\n{\n}", LG, {},
        "\"LightmappedGeneric\"\n{\n}", ShaderReplacementQuestionable);
    row("shader/brace first", Shader, "\n{\n}", LG, {}, "\n\"LightmappedGeneric\"\n{\n}",
        ShaderInsertionQuestionable);
    row("shader/no exact brace", Shader, "\"U\"\n  {\n}", LG, {}, "\"LightmappedGeneric\"\n  {\n}",
        ShaderInsertionQuestionable);
    row("shader/no place", Shader, "s\n{x\n", LG, {}, "s\n{x\n", NoShaderInsertionPoint);

    row("key/empty", KeyValue, "", "$basetexture", {"a/b"},
        "\"\"\n{\n\t\"$basetexture\" \"a/b\"\n}\n");
    row("key/above proxies, not inside", KeyValue,
        "\"S\"\n{\n\t\"$BASETEXTURE\" \"old\"\n\t\"Proxies\"\n\t{\n\t\t\"$basetexture\" "
        "\"x\"\n\t}\n}",
        "$basetexture", {"new"},
        "\"S\"\n{\n\t\"$basetexture\" \"new\"\n\t\"Proxies\"\n\t{\n\t\t\"$basetexture\" "
        "\"x\"\n\t}\n}");
    row("key/inserted above header", KeyValue, "\"S\"\n{\n\t$a 1\n\tProxies\n\t{\n\t\t$b 2\n\t}\n}",
        "$b", {"v"}, "\"S\"\n{\n\t$a 1\n\t\"$b\" \"v\"\n\tProxies\n\t{\n\t\t$b 2\n\t}\n}");
    row("key/material not closed", KeyValue, "\"S\"\n{\n\t$a 1\n", "$b", {}, "\"S\"\n{\n\t$a 1\n",
        NoKeyValueInsertionPoint);
    row("key/header first", KeyValue, "Proxies\n{", "$k", {"v"}, "Proxies\n{",
        NoKeyValueInsertionPoint);

    row("proxy/empty, keys without values", Proxy, "", "Sine", {"min", "max"},
        "\"\"\n{\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t\t\"min\" \"\"\n\t\t\t\"max\" "
        "\"\"\n\t\t}\n\t}\n}\n");
    row("proxy/into the block", Proxy, "\"S\"\n{\n\t\"Proxies\"\n\t{\n\t}\n}\n", "Sine",
        {"a", "=", "1"},
        "\"S\"\n{\n\t\"Proxies\"\n\t{\n\n\t\t\"Sine\"\n\t\t{\n\t\t\t\"a\" \"1\"\n\t\t}\n\t}\n}\n");
    row("proxy/new block", Proxy, NoProxies, "Sine", {},
        "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n}\n");
    row("proxy/blank-indented header", Proxy, "\"S\"\n{\n  Proxies\n  {\n  }\n}", "P", {},
        "\"S\"\n{\n  Proxies\n  {\n\n\t\t\"P\"\n\t\t{\n\t\t}\n  }\n}");
    row("proxy/no anchor", Proxy, "x\n}", "P", {}, "x\n}", NoProxyInsertionPoint);

    row("remove/whole block", RemoveProxies, TwoProxies, "", {}, NoProxies);
    row("remove/one of two", RemoveProxies, TwoProxies, "sine", {},
        "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Linear\"\n\t\t{\n\t\t}\n\t}\n}\n");
    row("remove/only proxy", RemoveProxies,
        "\"S\"\n{\n\t\"$a\" \"1\"\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n\n}\n",
        "SINE", {}, NoProxies);
    row("remove/no match: blank lines above brace only", RemoveProxies, TwoProxies, "None", {},
        "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t\t\"resultvar\" "
        "\"$x\"\n\t\t}\n\t\t\"Linear\"\n\t\t{\n\t\t}\n\t}\n}\n");
    row("remove/unquoted names stay", RemoveProxies,
        "\"S\"\n{\n\tProxies\n\t{\n\t\tSine\n\t\t{\n\t\t}\n\t\tLinear\n\t\t{\n\t\t}\n\t}\n}",
        "sine", {}, "\"S\"\n{\n\tProxies\n\t{\n\t\tLinear\n\t\t{\n\t\t}\n\t}\n}");
    row("remove/quoted by name, unquoted left", RemoveProxies,
        "S\n{\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t\tresultvar $x\n\t\t}\n"
        "\t\tAnimatedTexture // frames\n\t\t{\n\t\t}\n\t}\n}\n",
        "Sine", {},
        "S\n{\n\t\"Proxies\"\n\t{\n\t\tAnimatedTexture // frames\n\t\t{\n\t\t}\n\t}\n}\n");

    // New keys and proxies of a patch go into its "insert" block, made when
    // it has none; held ones change where they stand, one Proxies block
    // whatever its header looks like; removals stop at the brace that matches.
    const QString water = edited(Water, WaterProxies, "");
    row("patch/proxy", Proxy, Water, "Sine", {}, waterWithInsert(SineInPatch));
    row("patch/key", KeyValue, Water, "$surfaceprop", {},
        waterWithInsert("\t\t\"$surfaceprop\" \"\"\n"));
    row("patch/held key", KeyValue, Water, "$ENVMAP", {"c1"},
        edited(Water, "\"$envmap\"\t\"c0\"", "\"$ENVMAP\" \"c1\""));
    const QString depth = QString::fromLatin1(Depth).remove('\r');
    row("patch/key in insert", KeyValue, depth, "$envmap", {"c1"},
        QString(depth).replace("\"$envmap\"\t\"maps/m/c0_0_0\"", "\"$envmap\" \"c1\""));
    // A new item of an existing "insert" block is indented as the items above
    // it, or one tab past its "{" when it has none; never by a whole line.
    const QString flat = "patch\n{\ninclude x.vmt\ninsert\n{\n$a 1\n}\n}\n";
    row("patch/key in unindented insert", KeyValue, flat, "$b", {"2"},
        QString(flat).replace("$a 1\n", "$a 1\n\"$b\" \"2\"\n"));
    row("patch/proxy in unindented insert", Proxy, flat, "Sine", {},
        QString(flat).replace("$a 1\n", "$a 1\n\n\"Proxies\"\n{\n\t\"Sine\"\n\t{\n\t}\n}\n"));
    row("patch/key in empty insert", KeyValue, "patch\n{\n  insert\n  {\n  }\n}", "$b", {},
        "patch\n{\n  insert\n  {\n  \t\"$b\" \"\"\n  }\n}");
    const QString wide = "patch\n{\ninsert\n{\n" + QString(65, ' ') + "$a 1\n}\n}";
    row("patch/key below a too wide indent", KeyValue, wide, "$b", {},
        QString(wide).replace("1\n", "1\n\t\t\"$b\" \"\"\n"));
    row("patch/only proxy", RemoveProxies, Water, "waterlod", {}, water);
    row("patch/unquoted header", RemoveProxies, edited(Water, "\t\t\"Proxies\"", "proxies"), "", {},
        water);
    row("patch/every key", RemoveKeyValues, Water, "", {},
        edited(Water, "\t\t\"$envmap\"\t\"c0\"\n", ""));
    row("odd/whole block", RemoveProxies, Odd, "", {}, "S\n{\n\t$a 1\n\t$c 2\n}\n");
    row("odd/one-line proxy", RemoveProxies, Odd, "sine", {},
        edited(Odd, "\t\tSine { resultvar \"$x\" }\n", ""));
    row("odd/key", KeyValue, Odd, "$d", {}, edited(Odd, "1\n", "1\n\t\"$d\" \"\"\n"));
    row("odd/proxy", Proxy, Odd, "P", {},
        edited(Odd, "\t} //", "\n\t\t\"P\"\n\t\t{\n\t\t}\n\t} //"));
    row("odd/key after the block", KeyValue, Odd, "$C", {"3"},
        edited(Odd, "\t$c 2", "\t\"$C\" \"3\""));
    row("odd/remove key after the block", RemoveKeyValues, Odd, "$c", {},
        edited(Odd, "\t$c 2\n", ""));
    // Keys of a fallback block are not the material's.
    row("fallback/own key", KeyValue, Hud, "$outlinecolor", {"x"},
        edited(Hud, "\t\"$outlinecolor\" \"[0 0 0]\"", "\t\"$outlinecolor\" \"x\""));
    row("fallback/only nested: new", KeyValue, Hud, "$outline", {"0"},
        edited(Hud, "0]\"\n", "0]\"\n\t\"$outline\" \"0\"\n"));
    row("fallback/remove own", RemoveKeyValues, Hud, "$outlinecolor", {},
        edited(Hud, "\t\"$outlinecolor\" \"[0 0 0]\"\n", ""));
    row("fallback/lookup own", KeyLookup, Hud, "$outlinecolor", {}, Hud, "[0 0 0]");
    row("key/after a nested block", KeyValue, "S\n{\n\t$a 1\n\t\">=dx90\"\n\t{\n\t\t$b 2\n\t}\n}",
        "$c", {}, "S\n{\n\t$a 1\n\t\">=dx90\"\n\t{\n\t\t$b 2\n\t}\n\t\"$c\" \"\"\n}");
    row("remove/closing braces on one line", RemoveProxies,
        "S\n{\n\t$a 1\n\tProxies\n\t{\n\t\tSine\n\t\t{\n\t\t}\n\t}}", "", {}, "S\n{\n\t$a 1\n}");
    row("compact/whole block", RemoveProxies, "\"S\" { $a 1 Proxies { Sine { } } }", "", {},
        "\"S\" { $a 1  }");

    // The bulk editor's removal: every spelling of the key above the header,
    // or only those of one value.
    row("keys/every spelling", RemoveKeyValues, KeysAndProxies, "$base", {},
        "\"S\"\n{\n\t$surf metal\n\t\"Proxies\"\n\t{\n\t\t$base x\n\t}\n}\n");
    row("keys/one value", RemoveKeyValues, KeysAndProxies, "$BASE", {"C"},
        "\"S\"\n{\n\t\"$Base\" \"a/b\"\n\t$surf metal\n\t\"Proxies\"\n\t{\n\t\t$base x\n\t}\n}\n");
    // The exact key, above the header only.
    row("lookup/exact key", KeyLookup, KeysAndProxies, "$Base", {}, KeysAndProxies, "a/b");
    row("lookup/other case", KeyLookup, KeysAndProxies, "$BASE", {}, KeysAndProxies, "");
    row("path/backslashes, dots", RelativePath, "C:\\g\\materials\\crate.v2.vmt", "", {},
        "C:\\g\\materials\\crate.v2.vmt", "crate");
    row("path/no materials folder", RelativePath, "/g/materialsx/wall01.vmt", "", {},
        "/g/materialsx/wall01.vmt", "");

    // Line positions past 32,767 and a proxy of 256 keys: no counter wraps.
    QString lines = QStringLiteral("\"S\"\n{\n");
    for (int i = 0; i < 40000; ++i)
        lines += QStringLiteral("\t$k%1 %1\n").arg(i);
    const QString block = QStringLiteral("\tProxies\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n}\n");
    const QString big = lines + block;
    row("long/key", KeyValue, big, "$K39990", {"new"},
        QString(big).replace("\t$k39990 39990", "\t\"$K39990\" \"new\""));
    row("long/new key", KeyValue, big, "$new", {"1"}, lines + "\t\"$new\" \"1\"\n" + block);
    row("long/only proxy", RemoveProxies, big, "sine", {}, lines + "}\n");
    QStringList keys;
    QString body;
    for (int i = 0; i < 256; ++i) {
        keys << QStringLiteral("k%1").arg(i);
        body += QStringLiteral("\t\t\t\"k%1\" \"\"\n").arg(i);
    }
    row("many keys", Proxy, "", "Many", keys,
        "\"\"\n{\n\n\t\"Proxies\"\n\t{\n\t\t\"Many\"\n\t\t{\n" + body + "\t\t}\n\t}\n}\n");
}

void TestVmtFunctions::golden()
{
    QFETCH(int, routine);
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QFETCH(QString, message);

    QString result;
    const int split = args.indexOf(QStringLiteral("="));
    const QStringList values = args.mid(split + 1);
    if (routine == Shader)
        result = setVmtShader(text, name);
    else if (routine == KeyValue)
        result = setVmtKeyValue(text, name, args.value(0));
    else if (routine == Proxy)
        result = addVmtProxy(text, name, args.mid(0, split), split < 0 ? nullptr : &values);
    else if (routine == RemoveProxies)
        removeVmtProxies(text, name);
    else if (routine == RemoveKeyValues)
        removeVmtKeyValues(text, name, args.value(0));
    else if (routine == KeyLookup)
        result = vmtKeyValue(text, name);
    else
        result = vmtRelativePath(text);
    QCOMPARE(result, message);
    QCOMPARE(text, expected);
}

void TestVmtFunctions::bytes()
{
    // Latin-1 both ways; every line end form is a line end and comes back.
    const QByteArray mixed("\"S\"\r\n{\n\t$k caf\xe9\xa0\r\r\n\0}", 21);
    MaterialLineEnds ends;
    QString text = decodeMaterialText(mixed, &ends);
    QCOMPARE(text, QString::fromLatin1("\"S\"\n{\n\t$k caf\xe9\xa0\n\n\0}", 19));
    QCOMPARE(encodeMaterialText(text, text, ends), mixed);
    // Two CR LF against one LF and one CR; on a tie the end met first.
    QCOMPARE(ends.common(), QByteArray("\r\n"));
    ends.codes = "nrrn";
    QCOMPARE(ends.common(), QByteArray("\n"));
    QCOMPARE(MaterialLineEnds().common(), QByteArray("\n"));
    QCOMPARE(encodeMaterialText(QString::fromUtf8("a\n\u20ac"), "\r"), QByteArray("a\r?"));

    QString error;
    QVERIFY(!readMaterialFile(QStringLiteral("/dev/zero"), text, ends, error));
    QCOMPARE(error, QString::fromLatin1(VmtError::TooLarge).arg(VmtError::MaxScriptBytes));
}

void TestVmtFunctions::lineEnds_data()
{
    QTest::addColumn<int>("routine");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("expected"); // the bulk editor's save
    // An insertion, removals of lines of each end and a replaced line: new
    // lines end like most lines, the others keep theirs.
    QTest::newRow("mixed/add parameter")
        << int(KeyValue) << QByteArray("\"S\"\r\n{\n\t$a 1\r\n\tProxies\n\t{\n\t\t$b 2\n\t}\n}")
        << "$c"
        << QByteArray("\"S\"\r\n{\n\t$a 1\r\n\t\"$c\" \"\"\n\tProxies\n\t{\n\t\t$b 2\n\t}\n}");
    QTest::newRow("mixed/remove every parameter")
        << int(RemoveKeyValues)
        << QByteArray("S\r\n{\r\n\t$a 1\n\t$b 2\r\tProxies\r\n\t{\n\t\t$c 3\r\n\t}\r\n}\r\n") << ""
        << QByteArray("S\r\n{\r\n\tProxies\r\n\t{\n\t\t$c 3\r\n\t}\r\n}\r\n");
    QTest::newRow("CR LF/proxy into a patch")
        << int(Proxy) << QByteArray(Water).replace("\n", "\r\n") << "Sine"
        << waterWithInsert(SineInPatch).toLatin1().replace("\n", "\r\n");
    // Into "insert", never the patch block; "include" stays.
    const QByteArray envmap("\t\t\"$envmap\"\t\"maps/m/c0_0_0\"\r\n");
    QTest::newRow("CR LF/depth patch key")
        << int(KeyValue) << QByteArray(Depth) << "$surfaceprop"
        << QByteArray(Depth).replace(envmap, envmap + "\t\t\"$surfaceprop\" \"\"\r\n");
    QTest::newRow("CR LF/depth patch proxy")
        << int(Proxy) << QByteArray(Depth) << "Sine"
        << QByteArray(Depth).replace(envmap, envmap +
                                                 "\r\n\t\t\"Proxies\"\r\n\t\t{\r\n\t\t\t\"Sine\""
                                                 "\r\n\t\t\t{\r\n\t\t\t}\r\n\t\t}\r\n");
    QTest::newRow("CR LF/depth patch, every parameter")
        << int(RemoveKeyValues) << QByteArray(Depth) << "" << QByteArray(Depth).replace(envmap, "");
    QTest::newRow("mixed/shader replaced")
        << int(Shader) << QByteArray("\"A\"\r\n{\n}\r\n") << "B" << QByteArray("\"B\"\r\n{\n}\r\n");
}

void TestVmtFunctions::lineEnds()
{
    QFETCH(int, routine);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QByteArray, expected);

    MaterialLineEnds ends;
    const QString original = decodeMaterialText(bytes, &ends);
    QString text = original;
    if (routine == Shader)
        setVmtShader(text, name);
    else if (routine == KeyValue)
        setVmtKeyValue(text, name, QString());
    else if (routine == Proxy)
        addVmtProxy(text, name, {});
    else
        removeVmtKeyValues(text, name, QString());
    QCOMPARE(encodeMaterialText(text, original, ends), expected);
}

void TestVmtFunctions::damagedScripts()
{
    // Every routine on damaged scripts: each returns, whatever it makes of them.
    const auto all = [](const QByteArray &bytes) {
        QString t[5];
        for (QString &text : t)
            text = decodeMaterialText(bytes);
        setVmtShader(t[0], QStringLiteral("S"));
        setVmtKeyValue(t[1], QStringLiteral("$a"), QStringLiteral("2"));
        addVmtProxy(t[2], QStringLiteral("Sine"), {QStringLiteral("k")});
        removeVmtProxies(t[3], QStringLiteral("sine"));
        removeVmtKeyValues(t[4], QStringLiteral("$a"), QString());
    };
    Fuzz::truncations(TwoProxies, all);
    Fuzz::byteFlips(TwoProxies, 300, 26, all);
}

QTEST_GUILESS_MAIN(TestVmtFunctions)
#include "tst_vmtfunctions.moc"
