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
    ProxyWithValues,
    RemoveProxies
};

// Runs one routine; `name` is the shader, key or proxy name, `args` the value
// (KeyValue) or the keys and then, for ProxyWithValues, as many values.
QString run(Routine routine, QString &text, const QString &name, const QStringList &args)
{
    switch (routine) {
    case Shader:
        return setVmtShader(text, name);
    case KeyValue:
        return setVmtKeyValue(text, name, args.value(0));
    case Proxy:
        return addVmtProxy(text, name, args);
    case ProxyWithValues: {
        const int half = args.size() / 2;
        const QStringList values = args.mid(half);
        return addVmtProxy(text, name, args.mid(0, half), &values);
    }
    case RemoveProxies:
        removeVmtProxies(text, name);
        return QString();
    }
    return QString();
}

// A material with two quoted proxies and an empty line above its closing
// brace, as real scripts often have.
const QString TwoProxies = QStringLiteral("\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n"
                                          "\t\t\"Sine\"\n\t\t{\n\t\t\t\"resultvar\" \"$x\"\n\t\t}\n"
                                          "\t\t\"Linear\"\n\t\t{\n\t\t}\n\t}\n\n}\n");
const QString NoProxies = QStringLiteral("\"S\"\n{\n\t\"$a\" \"1\"\n}\n");
// Keys in two spellings above the header and one inside a proxy.
const QString BulkScript = QStringLiteral(
    "\"S\"\n{\n\t\"$BaseTexture\" \"a/b\"\n\t$basetexture c\n\t\"$surfaceprop\" \"metal\"\n"
    "\t\"Proxies\"\n\t{\n\t\t\"$basetexture\" \"x\"\n\t}\n}\n");

} // namespace

Q_DECLARE_METATYPE(Routine)

class TestVmtFunctions : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void longScripts();
    void bulkRules_data();
    void bulkRules();
    void relativePaths_data();
    void relativePaths();
    void bytesRoundTrip_data();
    void bytesRoundTrip();
    void oversizedInputIsRefused();
    void damagedScripts();
};

void TestVmtFunctions::golden_data()
{
    QTest::addColumn<Routine>("routine");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("message");

    const QString replaced = QString::fromLatin1(VmtMessage::ShaderReplacementQuestionable);
    const QString inserted = QString::fromLatin1(VmtMessage::ShaderInsertionQuestionable);
    const QString LG = QStringLiteral("LightmappedGeneric");

    // setVmtShader
    QTest::newRow("shader/empty") << Shader << "" << LG << QStringList()
                                  << "\"LightmappedGeneric\"\n{\n}\n"
                                  << QString();
    QTest::newRow("shader/blanks kept")
        << Shader << " \t\n"
        << LG << QStringList() << " \t\n\"LightmappedGeneric\"\n{\n}\n"
        << QString();
    QTest::newRow("shader/quoted above brace")
        << Shader << "\"UnlitGeneric\"\n{\n\t\"$basetexture\" \"a\"\n}\n"
        << LG << QStringList() << "\"LightmappedGeneric\"\n{\n\t\"$basetexture\" \"a\"\n}\n"
        << QString();
    QTest::newRow("shader/indented quote skipped")
        << Shader << "\"A\"\n\t\"B\"\n{\n}" << LG << QStringList()
        << "\"LightmappedGeneric\"\n\t\"B\"\n{\n}" << QString();
    QTest::newRow("shader/tab-indented shader")
        << Shader << "\t\"UnlitGeneric\"\n{\n}" << LG << QStringList()
        << "\"LightmappedGeneric\"\n{\n}" << replaced;
    QTest::newRow("shader/brace first")
        << Shader << "{\n}" << LG << QStringList() << "\"LightmappedGeneric\"\n{\n}" << inserted;
    QTest::newRow("shader/only empty lines above")
        << Shader << "\n\n{\n}" << LG << QStringList() << "\n\n\"LightmappedGeneric\"\n{\n}"
        << inserted;
    QTest::newRow("shader/no exact brace")
        << Shader << "\"UnlitGeneric\"\n  {\n}" << LG << QStringList()
        << "\"LightmappedGeneric\"\n  {\n}" << inserted;
    QTest::newRow("shader/no place") << Shader << "shader\n{x\n"
                                     << LG << QStringList() << "shader\n{x\n"
                                     << QString::fromLatin1(VmtMessage::NoShaderInsertionPoint);

    // setVmtKeyValue
    const QString noKeyPlace = QString::fromLatin1(VmtMessage::NoKeyValueInsertionPoint);
    QTest::newRow("key/empty") << KeyValue << ""
                               << "$basetexture" << QStringList{"brick/wall01"}
                               << "\"\"\n{\n\t\"$basetexture\" \"brick/wall01\"\n}\n"
                               << QString();
    QTest::newRow("key/above proxies, not inside")
        << KeyValue
        << "\"S\"\n{\n\t\"$BASETEXTURE\" \"old\"\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n"
           "\t\t\t\"$basetexture\" \"x\"\n\t\t}\n\t}\n}\n"
        << "$basetexture" << QStringList{"new"}
        << "\"S\"\n{\n\t\"$basetexture\" \"new\"\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n"
           "\t\t\t\"$basetexture\" \"x\"\n\t\t}\n\t}\n}\n"
        << QString();
    QTest::newRow("key/inserted above header")
        << KeyValue << "\"S\"\n{\n\t\"$a\" \"1\"\n\tProxies\n\t{\n\t\t\"$b\" \"2\"\n\t}\n}"
        << "$b" << QStringList{"v"}
        << "\"S\"\n{\n\t\"$a\" \"1\"\n\t\"$b\" \"v\"\n\tProxies\n\t{\n\t\t\"$b\" \"2\"\n\t}\n}"
        << QString();
    QTest::newRow("key/first duplicate only")
        << KeyValue << "\"S\"\n{\n\t$k 1\n\t$k 2\n}"
        << "$K" << QStringList{"v"} << "\"S\"\n{\n\t\"$K\" \"v\"\n\t$k 2\n}" << QString();
    QTest::newRow("key/key without value")
        << KeyValue << "\"S\"\n{\n\t\"$k\"\n}"
        << "$k" << QStringList{"v"} << "\"S\"\n{\n\t\"$k\"\n\t\"$k\" \"v\"\n}" << QString();
    QTest::newRow("key/unrecognised indented header")
        << KeyValue << "\"S\"\n{\n  \"Proxies\"\n  {\n    \"$k\" \"1\"\n  }\n}"
        << "$k" << QStringList{"v"} << "\"S\"\n{\n  \"Proxies\"\n  {\n\t\"$k\" \"v\"\n  }\n}"
        << QString();
    QTest::newRow("key/header first") << KeyValue << "Proxies\n{\n}"
                                      << "$k" << QStringList{"v"} << "Proxies\n{\n}" << noKeyPlace;
    QTest::newRow("key/no anchor") << KeyValue << "shader\n}\n"
                                   << "$k" << QStringList{"v"} << "shader\n}\n"
                                   << noKeyPlace;

    // addVmtProxy
    const QString noProxyPlace = QString::fromLatin1(VmtMessage::NoProxyInsertionPoint);
    QTest::newRow("proxy/empty, keys without values")
        << Proxy << ""
        << "Sine" << QStringList{"sinemin", "sinemax"}
        << "\"\"\n{\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t\t\"sinemin\" \"\"\n"
           "\t\t\t\"sinemax\" \"\"\n\t\t}\n\t}\n}\n"
        << QString();
    QTest::newRow("proxy/into existing block")
        << ProxyWithValues << "\"S\"\n{\n\t\"Proxies\"\n\t{\n\t}\n}\n"
        << "Sine" << QStringList{"a", "1"}
        << "\"S\"\n{\n\t\"Proxies\"\n\t{\n\n\t\t\"Sine\"\n\t\t{\n\t\t\t\"a\" \"1\"\n\t\t}\n\t}\n}\n"
        << QString();
    QTest::newRow("proxy/new block, no keys")
        << Proxy << NoProxies << "Sine" << QStringList()
        << "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n}\n"
        << QString();
    QTest::newRow("proxy/blank-indented header is not one")
        << Proxy << "\"S\"\n{\n  Proxies\n  {\n  }\n}"
        << "Sine" << QStringList()
        << "\"S\"\n{\n  Proxies\n  {\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n  }\n}"
        << QString();
    QTest::newRow("proxy/header without braces")
        << Proxy << "\"S\"\n{\n\tProxies\n"
        << "Sine" << QStringList() << "\"S\"\n{\n\tProxies\n"
        << noProxyPlace;
    QTest::newRow("proxy/no anchor") << Proxy << "x\n}"
                                     << "Sine" << QStringList() << "x\n}" << noProxyPlace;

    // removeVmtProxies
    const QString withoutBlock = QStringLiteral("\"S\"\n{\n\t\"$a\" \"1\"\n}\n");
    QTest::newRow("remove/whole block")
        << RemoveProxies << TwoProxies << "" << QStringList() << withoutBlock << QString();
    QTest::newRow("remove/one of two")
        << RemoveProxies << TwoProxies << "sine" << QStringList()
        << "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Linear\"\n\t\t{\n\t\t}\n\t}\n}\n"
        << QString();
    QTest::newRow("remove/only proxy takes the block")
        << RemoveProxies
        << "\"S\"\n{\n\t\"$a\" \"1\"\n\n\t\"Proxies\"\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n\n}\n"
        << "Sine" << QStringList() << withoutBlock << QString();
    QTest::newRow("remove/no match drops blank lines above brace")
        << RemoveProxies << TwoProxies << "Nothing" << QStringList()
        << QString(TwoProxies).replace(QStringLiteral("\t}\n\n}"), QStringLiteral("\t}\n}"))
        << QString();
    QTest::newRow("remove/no match, nothing to tidy")
        << RemoveProxies << "\"S\"\n{\n\tProxies\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n}"
        << "Nothing" << QStringList()
        << "\"S\"\n{\n\tProxies\n\t{\n\t\t\"Sine\"\n\t\t{\n\t\t}\n\t}\n}" << QString();
    QTest::newRow("remove/unquoted names do not stay")
        << RemoveProxies
        << "\"S\"\n{\n\tProxies\n\t{\n\t\tSine\n\t\t{\n\t\t}\n\t\tLinear\n"
           "\t\t{\n\t\t}\n\t}\n}"
        << "sine" << QStringList() << "\"S\"\n{\n}" << QString();
    QTest::newRow("remove/header last") << RemoveProxies << "\"S\"\n{\n}\nProxies"
                                        << "x" << QStringList() << "\"S\"\n{\n}" << QString();
    QTest::newRow("remove/no header")
        << RemoveProxies << NoProxies << "" << QStringList() << NoProxies << QString();
}

void TestVmtFunctions::golden()
{
    QFETCH(Routine, routine);
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QFETCH(QString, message);

    QCOMPARE(run(routine, text, name, args), message);
    QCOMPARE(text, expected);
}

void TestVmtFunctions::longScripts()
{
    // Line positions past 32,767 and a proxy of 256 keys: no counter wraps.
    QStringList lines{QStringLiteral("\"S\""), QStringLiteral("{")};
    for (int i = 0; i < 40000; ++i)
        lines << QStringLiteral("\t\"$k%1\" \"%1\"").arg(i);
    lines << QStringLiteral("\t\"Proxies\"") << QStringLiteral("\t{")
          << QStringLiteral("\t\t\"Sine\"") << QStringLiteral("\t\t{") << QStringLiteral("\t\t}")
          << QStringLiteral("\t}") << QStringLiteral("}") << QString();
    const QString script = lines.join(QLatin1Char('\n'));

    QString text = script;
    QVERIFY(setVmtKeyValue(text, QStringLiteral("$K39990"), QStringLiteral("new")).isNull());
    QCOMPARE(text.split(QLatin1Char('\n')).at(39992), QStringLiteral("\t\"$K39990\" \"new\""));
    QCOMPARE(text.count(QLatin1Char('\n')), script.count(QLatin1Char('\n')));

    text = script;
    QVERIFY(setVmtKeyValue(text, QStringLiteral("$new"), QStringLiteral("1")).isNull());
    QCOMPARE(text.split(QLatin1Char('\n')).at(40002), QStringLiteral("\t\"$new\" \"1\""));

    text = script;
    removeVmtProxies(text, QStringLiteral("sine"));
    QCOMPARE(text.split(QLatin1Char('\n')).size(), 40000 + 4);
    QVERIFY(text.endsWith(QStringLiteral("\t\"$k39999\" \"39999\"\n}\n")));

    QStringList keys;
    for (int i = 0; i < 256; ++i)
        keys << QStringLiteral("k%1").arg(i);
    text = QString();
    QVERIFY(addVmtProxy(text, QStringLiteral("Many"), keys).isNull());
    QCOMPARE(text.count(QStringLiteral("\t\t\t\"k")), 256);
    QVERIFY(text.contains(QStringLiteral("\t\t\t\"k255\" \"\"\n\t\t}\n\t}\n}\n")));
}

void TestVmtFunctions::bulkRules_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    const QString proxies =
        QStringLiteral("\t\"Proxies\"\n\t{\n\t\t\"$basetexture\" \"x\"\n\t}\n}\n");
    QTest::newRow("every line of the key above Proxies")
        << "$basetexture"
        << ""
        << "\"S\"\n{\n\t\"$surfaceprop\" \"metal\"\n" + proxies;
    QTest::newRow("only the matching value")
        << "$BASETEXTURE"
        << "C"
        << "\"S\"\n{\n\t\"$BaseTexture\" \"a/b\"\n\t\"$surfaceprop\" \"metal\"\n" + proxies;
    QTest::newRow("all parameters") << ""
                                    << ""
                                    << "\"S\"\n{\n" + proxies;
}

void TestVmtFunctions::bulkRules()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, expected);

    QString text = BulkScript;
    // The asterisk lookup: exact key, above the header only.
    QCOMPARE(vmtKeyValue(text, QStringLiteral("$BaseTexture")), QStringLiteral("a/b"));
    QCOMPARE(vmtKeyValue(text, QStringLiteral("$basetexture")), QStringLiteral("c"));
    QCOMPARE(vmtKeyValue(text, QStringLiteral("$BASETEXTURE")), QString());

    removeVmtKeyValues(text, key, value);
    QCOMPARE(text, expected);
}

void TestVmtFunctions::relativePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("relative");

    QTest::newRow("nested") << "/game/materials/brick/wall01.vmt"
                            << "brick/wall01";
    QTest::newRow("directly below") << "/game/materials/crate.vmt"
                                    << "crate";
    QTest::newRow("backslashes") << "C:\\game\\materials\\models\\crate01.vmt"
                                 << "models/crate01";
    QTest::newRow("first of two") << "/a/materials/b/materials/c.vmt"
                                  << "b/materials/c";
    QTest::newRow("capital M") << "/game/Materials/brick/wall01.vmt"
                               << "";
    QTest::newRow("not a folder") << "/game/materialsx/wall01.vmt"
                                  << "";
}

void TestVmtFunctions::relativePaths()
{
    QFETCH(QString, path);
    QFETCH(QString, relative);
    QCOMPARE(vmtRelativePath(path), relative);
}

void TestVmtFunctions::bytesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<QString>("text");

    QTest::newRow("latin-1 and no-break space")
        << QByteArray("\"S\"\n{\n\t\"$k\" \"caf\xe9\xa0\"\n}\n") << false
        << QStringLiteral("\"S\"\n{\n\t\"$k\" \"caf\u00e9\u00a0\"\n}\n");
    QTest::newRow("crlf") << QByteArray("\"S\"\r\n{\r\n}\r\n") << true
                          << QStringLiteral("\"S\"\n{\n}\n");
    QTest::newRow("mixed kept as is")
        << QByteArray("\"S\"\r\n{\n}") << false << QStringLiteral("\"S\"\r\n{\n}");
}

void TestVmtFunctions::bytesRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, crlf);
    QFETCH(QString, text);

    bool detected = !crlf;
    QCOMPARE(decodeMaterialText(bytes, &detected), text);
    QCOMPARE(detected, crlf);
    QCOMPARE(encodeMaterialText(text, crlf), bytes);
}

void TestVmtFunctions::oversizedInputIsRefused()
{
    QString text, error;
    bool crlf = false;
    QVERIFY(!readMaterialFile(QStringLiteral("/dev/zero"), text, crlf, error));
    QCOMPARE(error, QString::fromLatin1(VmtError::TooLarge).arg(VmtError::MaxScriptBytes));
    QVERIFY(!readMaterialFile(QStringLiteral("/nonexistent/a.vmt"), text, crlf, error));
    QVERIFY(!error.isEmpty());
}

void TestVmtFunctions::damagedScripts()
{
    // Every routine on damaged scripts: each returns, whatever it makes of them.
    const QByteArray valid = TwoProxies.toLatin1();
    const auto all = [](const QByteArray &bytes) {
        const QString text = decodeMaterialText(bytes);
        QString t = text;
        setVmtShader(t, QStringLiteral("S"));
        t = text;
        setVmtKeyValue(t, QStringLiteral("$a"), QStringLiteral("2"));
        t = text;
        addVmtProxy(t, QStringLiteral("Sine"), {QStringLiteral("k")});
        for (const QString &name : {QString(), QStringLiteral("sine")}) {
            t = text;
            removeVmtProxies(t, name);
        }
        t = text;
        removeVmtKeyValues(t, QStringLiteral("$a"), QString());
        vmtKeyValue(text, QStringLiteral("$a"));
    };
    Fuzz::truncations(valid, all);
    Fuzz::byteFlips(valid, 300, 26, all);
}

QTEST_GUILESS_MAIN(TestVmtFunctions)
#include "tst_vmtfunctions.moc"
