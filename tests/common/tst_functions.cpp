#include "LimitedDevice.h"
#include "functions.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <limits>

namespace {
// Rows of text columns: the row's name, then one C string per column
// (nullptr: a null QString).
void addTextRows(std::initializer_list<std::initializer_list<const char *>> rows)
{
    for (const auto &row : rows) {
        QTestData &data = QTest::newRow(*row.begin());
        for (auto it = row.begin() + 1; it != row.end(); ++it)
            data << QString(*it);
    }
}
} // namespace

class TestFunctions : public QObject
{
    Q_OBJECT

private slots:
    void trimPath_data();
    void trimPath();
    void normalizePath_data();
    void normalizePath();
    void pathsEqual();
    void readLine_data();
    void readLine();
    void readLineCrLfOnFile();
    void readTerminatedString();
    void splitKeyValueLine_data();
    void splitKeyValueLine();
    void tokenizeAndParse();
    void parseKeyValueBytes();
    void formatFloat_data();
    void formatFloat();
    void formatGroupedNumber_data();
    void formatGroupedNumber();
    void extensionFromFilter_data();
    void extensionFromFilter();
    void copyDevice();
    void copyDeviceFailures();
    void writePattern();
    void makePath();
    void powersOfTwo_data();
    void powersOfTwo();
};

void TestFunctions::trimPath_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    addTextRows({{"lone slash", "/", "/"},
                 {"lone backslash", "\\", "\\"},
                 {"two separators", "/\\", ""},
                 {"space letter slash", " a/", "a"},
                 {"windows", " \\maps\\x.bsp\\ ", "maps\\x.bsp"},
                 {"absolute keeps root", "/home/user/ ", "/home/user"},
                 {"absolute doubled", " //home/", "/home"},
                 {"drive", "D:/Games/", "D:/Games"},
                 {"NEL and no-break space kept", "\xC2\x85/a\xC2\xA0 ", "\xC2\x85/a\xC2\xA0"},
                 {"empty", "", ""}});
}

void TestFunctions::trimPath()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(trimmedPath(text), expected);
    ::trimPath(text);
    QCOMPARE(text, expected);
}

void TestFunctions::normalizePath_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    addTextRows({{"backslash doubled trailing space", "\\materials//brick\\\\x.vmt ",
                  "materials/brick/x.vmt"},
                 {"all separators", " /\\/ ", ""},
                 {"lone slash", "/", ""},
                 {"absolute", "/usr//share\\x/", "/usr/share/x"},
                 {"empty", "", ""}});
}

void TestFunctions::normalizePath()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QByteArray bytes = text.toLatin1() + QByteArray("\0garbage", 8);
    ::normalizePath(text);
    QCOMPARE(text, expected);
    ::normalizePath(bytes);
    QCOMPARE(bytes, expected.toLatin1());
}

void TestFunctions::pathsEqual()
{
    QVERIFY(::pathsEqual("Materials/Brick.VMT", "materials\\brick.vmt"));
    QVERIFY(::pathsEqual("", ""));
    QVERIFY(!::pathsEqual("a/b", "a/bc"));
    QVERIFY(!::pathsEqual("a.b", "a/b"));
}

void TestFunctions::readLine_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << QByteArray("one\r\ntwo\r\n") << QStringList{"one", "two"};
    QTest::newRow("lone cr and lf") << QByteArray("a\rb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("nul ends a line") << QByteArray("x\0y", 3) << QStringList{"x", "y"};
    QTest::newRow("empty lines") << QByteArray("\n\nz") << QStringList{"", "", "z"};
    QTest::newRow("cr cr") << QByteArray("a\r\rb") << QStringList{"a", "", "b"};
    QTest::newRow("long line") << QByteArray(300, 'q') + "\nend"
                               << QStringList{QString(300, 'q'), "end"};
}

void TestFunctions::readLine()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, lines);
    QBuffer buffer(&data);
    QVERIFY(::readLine(&buffer).isEmpty()); // not open
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QStringList got;
    while (!buffer.atEnd())
        got << QString::fromLatin1(::readLine(&buffer));
    QCOMPARE(got, lines);
    QVERIFY(::readLine(&buffer).isEmpty());
}

void TestFunctions::readLineCrLfOnFile()
{
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write("first\r\nsecond\r\nthird");
    file.seek(0);
    QCOMPARE(::readLine(&file), QByteArray("first"));
    QCOMPARE(::readLine(&file), QByteArray("second"));
    QCOMPARE(::readLine(&file), QByteArray("third"));
    QVERIFY(file.atEnd());
}

void TestFunctions::readTerminatedString()
{
    QByteArray data("name\0rest\nlast line", 19);
    QDataStream stream(data);
    QCOMPARE(::readTerminatedString(stream, 0), QStringLiteral("name"));
    QCOMPARE(stream.device()->pos(), qint64(5));
    QCOMPARE(::readTerminatedString(stream, 10, 64), QStringLiteral("rest"));
    QCOMPARE(::readTerminatedString(stream, 10, 64), QStringLiteral("last line"));
    QCOMPARE(::readTerminatedString(stream, 10), QString());

    QByteArray latin("caf\xe9\0", 5);
    QDataStream latinStream(latin);
    QCOMPARE(::readTerminatedString(latinStream, 0), QStringLiteral("caf\u00e9"));
}

void TestFunctions::splitKeyValueLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stdValue"); // where the std::string twin differs

    QTest::newRow("quoted key and path")
        << "  \"$basetexture\"\t\"brick/wall 01\" // c" << true << "$basetexture"
        << "brick/wall 01"
        << "brick/wall 01";
    QTest::newRow("one-char value at end") << "key 1" << true << "key"
                                           << "1"
                                           << "1";
    QTest::newRow("key alone") << "key   " << false << "key" << QString() << "?";
    QTest::newRow("key then comment") << "key //x" << false << "key" << QString() << "?";
    QTest::newRow("blank") << " \t " << false << QString() << QString() << QString();
    QTest::newRow("comment") << "// key value" << false << QString() << QString() << QString();
    QTest::newRow("unclosed quote") << "key \"open" << false << "key" << QString() << QString();
    QTest::newRow("empty quoted value") << "key \"\"" << true << "key"
                                        << ""
                                        << "";
    QTest::newRow("quote inside key") << "a\"b c" << true << "a\"b"
                                      << "c"
                                      << "c";
    QTest::newRow("trailing words ignored") << "k v w" << true << "k"
                                            << "v"
                                            << "v";
}

void TestFunctions::splitKeyValueLine()
{
    QFETCH(QString, line);
    QFETCH(bool, result);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, stdValue);

    QString k = QStringLiteral("old");
    QString v = QStringLiteral("old");
    QCOMPARE(::splitKeyValueLine(line, k, v), result);
    QCOMPARE(k, key);
    QCOMPARE(v, value);
    QCOMPARE(v.isNull(), value.isNull());

    std::string sk = "old";
    std::string sv = "old";
    QCOMPARE(::splitKeyValueLine(line.toStdString(), sk, sv), result);
    QCOMPARE(QString::fromStdString(sk), key.isNull() ? QString("") : key);
    QCOMPARE(QString::fromStdString(sv), stdValue.isNull() ? QString("") : stdValue);
}

void TestFunctions::tokenizeAndParse()
{
    QCOMPARE(tokenizeKeyValueLine("  \"key one\"  \"\"  bare //  trailing note "),
             (QStringList{"key one", "", "bare", "//  trailing note"}));
    QCOMPARE(tokenizeKeyValueLine(""), QStringList());

    QString key, value, comment;
    parseKeyValue("\"model\" \"models/x.mdl\" extra // note ", key, value, comment);
    QCOMPARE(key, QStringLiteral("model"));
    QCOMPARE(value, QStringLiteral("models/x.mdl"));
    QCOMPARE(comment, QStringLiteral("// note"));

    parseKeyValue("onlykey", key, value);
    QCOMPARE(key, QStringLiteral("onlykey"));
    QVERIFY(value.isNull());
    // A quoted "//" text is a comment, but not in entity text.
    const QString output = QStringLiteral("\"On\" \"//t\033Kill\033\0330\033-1\" // c");
    parseKeyValue(output, key, value, comment);
    QVERIFY(value.isNull());
    parseKeyValue(output, key, value, comment, QuotedSlashes::Text);
    QCOMPARE(value + comment, QStringLiteral("//t\033Kill\033\0330\033-1// c"));
}

void TestFunctions::parseKeyValueBytes()
{
    QByteArray key, value;
    parseKeyValue(QByteArray("\"k\" \"\"\0\"hidden\"", 14), key, value);
    QCOMPARE(key, QByteArray("k"));
    QVERIFY(!value.isNull());
    QVERIFY(value.isEmpty());

    parseKeyValue(QByteArray("k"), key, value);
    QCOMPARE(key, QByteArray("k"));
    QVERIFY(value.isNull());

    parseKeyValue(QByteArray("  // only a comment"), key, value);
    QVERIFY(key.isNull());
    QVERIFY(value.isNull());
}

void TestFunctions::formatFloat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("expected");
    QTest::newRow("100 at 0") << 100.0 << 0 << "100";
    QTest::newRow("0.5 at 2") << 0.5 << 2 << "0.5";
    QTest::newRow("2.0 at 3") << 2.0 << 3 << "2";
    QTest::newRow("1.5 at 6") << 1.5 << 6 << "1.5";
    QTest::newRow("default six") << 0.1234567 << -1 << "0.123457";
    QTest::newRow("negative") << -10.250 << 4 << "-10.25";
    QTest::newRow("zero") << 0.0 << 6 << "0";
}

void TestFunctions::formatFloat()
{
    QFETCH(double, value);
    QFETCH(int, precision);
    QTEST(::formatFloat(value, precision), "expected");
}

void TestFunctions::formatGroupedNumber_data()
{
    QTest::addColumn<quint64>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << quint64(0) << "0";
    QTest::newRow("123") << quint64(123) << "123";
    QTest::newRow("999") << quint64(999) << "999";
    QTest::newRow("1000") << quint64(1000) << "1,000";
    QTest::newRow("1234") << quint64(1234) << "1,234";
    QTest::newRow("1234567") << quint64(1234567) << "1,234,567";
    QTest::newRow("max") << std::numeric_limits<quint64>::max() << "18,446,744,073,709,551,615";
}

void TestFunctions::formatGroupedNumber()
{
    QFETCH(quint64, value);
    QTEST(::formatGroupedNumber(value), "expected");
}

void TestFunctions::extensionFromFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    addTextRows({{"first of many",
                  "Valve Material Type (*.vmt);;Valve Texture File (*.vtf);;Valve Materials "
                  "(*.vmt *.vtf)",
                  "vmt"},
                 {"all files", "All Files (*.*)", "*"},
                 {"two in one", "Images (*.png *.jpg)", "png"},
                 {"none", "Everything (*)", nullptr}});
}

void TestFunctions::extensionFromFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    const QString got = ::extensionFromFilter(filter);
    QCOMPARE(got, expected);
    QCOMPARE(got.isNull(), expected.isNull());
}

void TestFunctions::copyDevice()
{
    QByteArray source(3000, '\0');
    for (int i = 0; i < source.size(); ++i)
        source[i] = char(i * 7);
    QBuffer in(&source);
    QVERIFY(in.open(QIODevice::ReadOnly));
    in.seek(1000);

    QByteArray out;
    QBuffer target(&out);
    QVERIFY(target.open(QIODevice::WriteOnly));
    QString error;
    QVERIFY(::copyDevice(&in, &target, -1, &error));
    QCOMPARE(out, source.mid(1000));
    QVERIFY(error.isEmpty());

    QVERIFY(::copyDevice(&in, &target, 0, &error)); // at the end, nothing asked
    in.seek(5);
    out.clear();
    target.seek(0);
    QVERIFY(::copyDevice(&in, &target, 10, nullptr));
    QCOMPARE(out, source.mid(5, 10));
    QCOMPARE(in.pos(), qint64(15));
}

void TestFunctions::copyDeviceFailures()
{
    QByteArray source(2500, 'x');
    QBuffer in(&source);
    QVERIFY(in.open(QIODevice::ReadOnly));
    in.seek(1000);
    QByteArray out;
    QBuffer target(&out);
    QVERIFY(target.open(QIODevice::WriteOnly));

    // 1500 left, 2000 asked: the second chunk comes up short with 976 to go.
    QString error;
    QVERIFY(!::copyDevice(&in, &target, 2000, &error));
    QCOMPARE(error, QStringLiteral("Read Error: Unable to read 976 of 2000 bytes"));
    QVERIFY(!::copyDevice(&in, &target, 1, nullptr)); // no error text asked for

    in.seek(0);
    LimitedDevice limited(1500);
    QVERIFY(!::copyDevice(&in, &limited, 2500, &error));
    QCOMPARE(error, QStringLiteral("Write Error: Unable to write 1476 of 2500 bytes"));
}

void TestFunctions::writePattern()
{
    QByteArray out;
    QBuffer buffer(&out);
    QVERIFY(!::writePattern("ab", &buffer, 3)); // not open
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(::writePattern("abc", &buffer, 7));
    QCOMPARE(out, QByteArray("abcabca"));
    QVERIFY(::writePattern(QByteArray(1, '\0'), &buffer, 5000));
    QCOMPARE(out.size(), 5007);
    QCOMPARE(out.mid(7), QByteArray(5000, '\0'));
    QVERIFY(::writePattern(QByteArray(), &buffer, 4));
    QVERIFY(::writePattern("x", &buffer, 0));
    QCOMPARE(out.size(), 5007);

    QByteArray data;
    QBuffer readOnly(&data);
    QVERIFY(readOnly.open(QIODevice::ReadOnly));
    QVERIFY(!::writePattern("x", &readOnly, 1));
    LimitedDevice limited(3);
    QVERIFY(!::writePattern("xy", &limited, 4));
}

void TestFunctions::makePath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(::makePath(dir.filePath("a/b/c")));
    QVERIFY(QFileInfo(dir.filePath("a/b/c")).isDir());
    QVERIFY(::makePath(dir.filePath("a/b/c"))); // already there
    QVERIFY(::makePath(dir.filePath("x/y/file.txt"), true));
    QVERIFY(QFileInfo(dir.filePath("x/y")).isDir());
    QVERIFY(!QFileInfo::exists(dir.filePath("x/y/file.txt")));
    QVERIFY(::makePath(dir.filePath("w") + "\\z\\file.txt", true));
    QVERIFY(QFileInfo(dir.filePath("w/z")).isDir());

    // Below a plain file nothing can be made.
    QFile blocker(dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!::makePath(dir.filePath("blocker/sub")));
    QVERIFY(!::makePath(QString()));
}

void TestFunctions::powersOfTwo_data()
{
    QTest::addColumn<quint64>("value");
    QTest::addColumn<quint64>("next");
    QTest::addColumn<quint64>("nextStrict");
    QTest::addColumn<quint64>("previous");
    QTest::addColumn<quint64>("previousStrict");
    QTest::addColumn<quint64>("nearest");
    QTest::addColumn<int>("exponent");

    const quint64 top = quint64(1) << 63;
    const quint64 max = std::numeric_limits<quint64>::max();
    QTest::newRow("0") << quint64(0) << quint64(1) << quint64(1) << quint64(1) << quint64(1)
                       << quint64(1) << -1;
    QTest::newRow("1") << quint64(1) << quint64(1) << quint64(2) << quint64(1) << quint64(1)
                       << quint64(1) << 0;
    QTest::newRow("6") << quint64(6) << quint64(8) << quint64(8) << quint64(4) << quint64(4)
                       << quint64(8) << -1;
    QTest::newRow("40") << quint64(40) << quint64(64) << quint64(64) << quint64(32) << quint64(32)
                        << quint64(32) << -1;
    QTest::newRow("48 tie") << quint64(48) << quint64(64) << quint64(64) << quint64(32)
                            << quint64(32) << quint64(64) << -1;
    QTest::newRow("64") << quint64(64) << quint64(64) << quint64(128) << quint64(64) << quint64(32)
                        << quint64(64) << 6;
    QTest::newRow("2^40") << (quint64(1) << 40) << (quint64(1) << 40) << (quint64(1) << 41)
                          << (quint64(1) << 40) << (quint64(1) << 39) << (quint64(1) << 40) << 40;
    QTest::newRow("2^63") << top << top << top << top << (top >> 1) << top << 63;
    QTest::newRow("above 2^63") << top + 1 << top << top << top << top << top << -1;
    QTest::newRow("max") << max << top << top << top << top << top << -1;
}

void TestFunctions::powersOfTwo()
{
    QFETCH(quint64, value);
    QTEST(nextPowerOfTwo(value), "next");
    QTEST(nextPowerOfTwo(value, true), "nextStrict");
    QTEST(previousPowerOfTwo(value), "previous");
    QTEST(previousPowerOfTwo(value, true), "previousStrict");
    QTEST(nearestPowerOfTwo(value), "nearest");
    QTEST(powerOfTwoExponent(value), "exponent");
}

QTEST_GUILESS_MAIN(TestFunctions)
#include "tst_functions.moc"
