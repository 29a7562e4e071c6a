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
    RemoveProxies
};

// A material with two quoted proxies and an empty line above its closing brace.
const char *const TwoProxies =
    "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n"
    "\t\t\t\"resultvar\" \"$x\"\n\t\t}\n\t\t\"Linear\"\n\t\t{\n\t\t}\n\t}\n\n}\n";
const char *const NoProxies = "\"S\"\n{\n\t\"$a\" \"1\"\n}\n";

// `args`: the value of a key, or the keys of a proxy followed, after a "=",
// by their values.
void row(const char *tag, Routine routine, const char *text, const char *name,
         const QStringList &args, const char *expected, const char *message = nullptr)
{
    QTest::newRow(tag) << int(routine) << QString::fromLatin1(text) << QString::fromLatin1(name)
                       << args << QString::fromLatin1(expected) << QString::fromLatin1(message);
}

} // namespace

class TestVmtFunctions : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void longScripts();
    void bulkRules();
    void bytes();
    void damagedScripts();
};

void TestVmtFunctions::golden_data()
{
    QTest::addColumn<int>("routine");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("message");
    using namespace VmtMessage;
    const char *LG = "LightmappedGeneric";

    row("shader/empty", Shader, "", LG, {}, "\"LightmappedGeneric\"\n{\n}\n");
    row("shader/blanks kept", Shader, " \t\n", LG, {}, " \t\n\"LightmappedGeneric\"\n{\n}\n");
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
    row("key/key without value", KeyValue, "\"S\"\n{\n\t\"$k\"\n}", "$k", {"v"},
        "\"S\"\n{\n\t\"$k\"\n\t\"$k\" \"v\"\n}");
    row("key/unrecognised indented header", KeyValue,
        "\"S\"\n{\n  \"Proxies\"\n  {\n    $k 1\n  }\n}", "$k", {"v"},
        "\"S\"\n{\n  \"Proxies\"\n  {\n\t\"$k\" \"v\"\n  }\n}");
    row("key/header first", KeyValue, "Proxies\n{", "$k", {"v"}, "Proxies\n{",
        NoKeyValueInsertionPoint);

    row("proxy/empty, keys without values", Proxy, "", "Sine", {"min", "max"},
        "\"\"\n{\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t\t\"min\" \"\"\n\t\t\t\"max\" "
        "\"\"\n"
        "\t\t}\n\t}\n}\n");
    row("proxy/into the block", Proxy, "\"S\"\n{\n\t\"Proxies\"\n\t{\n\t}\n}\n", "Sine",
        {"a", "=", "1"},
        "\"S\"\n{\n\t\"Proxies\"\n\t{\n\n\t\t\"Sine\"\n\t\t{\n\t\t\t\"a\" \"1\"\n\t\t}\n\t}\n}\n");
    row("proxy/new block", Proxy, NoProxies, "Sine", {},
        "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n}\n");
    row("proxy/blank-indented header is not one", Proxy, "\"S\"\n{\n  Proxies\n  {\n  }\n}", "P",
        {}, "\"S\"\n{\n  Proxies\n  {\n\n\t\"Proxies\"\n\t{\n\t\t\"P\"\n\t\t{\n\t\t}\n\t}\n  }\n}");
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
    row("remove/unquoted names do not stay", RemoveProxies,
        "\"S\"\n{\n\tProxies\n\t{\n\t\tSine\n\t\t{\n\t\t}\n\t\tLinear\n\t\t{\n\t\t}\n\t}\n}",
        "sine", {}, "\"S\"\n{\n}");
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
    else
        removeVmtProxies(text, name);
    QCOMPARE(result, message);
    QCOMPARE(text, expected);
}

void TestVmtFunctions::longScripts()
{
    // Line positions past 32,767 and a proxy of 256 keys: no counter wraps.
    QStringList lines{QStringLiteral("\"S\""), QStringLiteral("{")};
    for (int i = 0; i < 40000; ++i)
        lines << QStringLiteral("\t$k%1 %1").arg(i);
    const QString script = lines.join(QLatin1Char('\n')) +
                           QStringLiteral("\n\tProxies\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n}\n");

    QString text = script;
    setVmtKeyValue(text, QStringLiteral("$K39990"), QStringLiteral("new"));
    QCOMPARE(text.split(QLatin1Char('\n')).at(39992), QStringLiteral("\t\"$K39990\" \"new\""));
    text = script;
    setVmtKeyValue(text, QStringLiteral("$new"), QStringLiteral("1"));
    QCOMPARE(text.split(QLatin1Char('\n')).at(40002), QStringLiteral("\t\"$new\" \"1\""));
    text = script;
    removeVmtProxies(text, QStringLiteral("sine"));
    QVERIFY(text.endsWith(QStringLiteral("\t$k39999 39999\n}\n")));

    QStringList keys;
    for (int i = 0; i < 256; ++i)
        keys << QStringLiteral("k%1").arg(i);
    text.clear();
    addVmtProxy(text, QStringLiteral("Many"), keys);
    QCOMPARE(text.count(QStringLiteral("\t\t\t\"k")), 256);
    QVERIFY(text.contains(QStringLiteral("\"k255\" \"\"\n\t\t}\n\t}\n}\n")));
}

void TestVmtFunctions::bulkRules()
{
    const QString script =
        QStringLiteral("\"S\"\n{\n\t\"$Base\" \"a/b\"\n\t$base c\n\t$surf metal\n"
                       "\t\"Proxies\"\n\t{\n\t\t$base x\n\t}\n}\n");
    const QString proxies = script.mid(script.indexOf(QStringLiteral("\t\"Proxies\"")));
    // The asterisk lookup: exact key, above the header only.
    QCOMPARE(vmtKeyValue(script, QStringLiteral("$Base")), QStringLiteral("a/b"));
    QCOMPARE(vmtKeyValue(script, QStringLiteral("$BASE")), QString());

    // Removal: every spelling of the key above the header, or one value.
    QString text = script;
    removeVmtKeyValues(text, QStringLiteral("$base"), QString());
    QCOMPARE(text, QStringLiteral("\"S\"\n{\n\t$surf metal\n") + proxies);
    text = script;
    removeVmtKeyValues(text, QStringLiteral("$BASE"), QStringLiteral("C"));
    QCOMPARE(text, QStringLiteral("\"S\"\n{\n\t\"$Base\" \"a/b\"\n\t$surf metal\n") + proxies);

    QCOMPARE(vmtRelativePath(QStringLiteral("/g/materials/brick/wall01.vmt")),
             QStringLiteral("brick/wall01"));
    QCOMPARE(vmtRelativePath(QStringLiteral("C:\\g\\materials\\crate.v2.vmt")),
             QStringLiteral("crate"));
    QCOMPARE(vmtRelativePath(QStringLiteral("/g/Materials/wall01.vmt")), QString());
    QCOMPARE(vmtRelativePath(QStringLiteral("/g/materialsx/wall01.vmt")), QString());
}

void TestVmtFunctions::bytes()
{
    // Latin-1 both ways (a no-break space included); CR LF files keep their
    // line ends, mixed ones keep every byte.
    for (const QByteArray &file :
         {QByteArray("\"S\"\n{\n\t$k caf\xe9\xa0\n}\n"), QByteArray("\"S\"\r\n{\r\n}\r\n"),
          QByteArray("\"S\"\r\n{\n}")}) {
        bool crlf = false;
        const QString text = decodeMaterialText(file, &crlf);
        QCOMPARE(crlf, file.count("\r\n") == 3);
        QCOMPARE(text.contains(QStringLiteral("\r\n")), file.count("\r\n") == 1);
        QCOMPARE(encodeMaterialText(text, crlf), file);
    }

    QString text, error;
    bool crlf = false;
    QVERIFY(!readMaterialFile(QStringLiteral("/dev/zero"), text, crlf, error));
    QCOMPARE(error, QString::fromLatin1(VmtError::TooLarge).arg(VmtError::MaxScriptBytes));
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
