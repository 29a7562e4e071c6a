#include "CFileIconCache.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Points the temporary directory somewhere else for one scope.
class TempDirOverride
{
public:
    explicit TempDirOverride(const QByteArray &path)
        : m_had(qEnvironmentVariableIsSet("TMPDIR"))
        , m_previous(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", path);
    }
    ~TempDirOverride()
    {
        if (m_had)
            qputenv("TMPDIR", m_previous);
        else
            qunsetenv("TMPDIR");
    }

private:
    bool m_had;
    QByteArray m_previous;
};

} // namespace

class TestFileIconCache : public QObject
{
    Q_OBJECT

private slots:
    void spellingsShareOneEntry();
    void emptyExtensionUsesDefaults_data();
    void emptyExtensionUsesDefaults();
    void unknownExtensionIsCached();
    void unwritableTempDirGivesDefaults();
    void probesLeaveNothingBehind();
};

void TestFileIconCache::spellingsShareOneEntry()
{
    QTemporaryDir temp;
    TempDirOverride tmp(temp.path().toLocal8Bit());
    CFileIconCache cache;
    const QString name = cache.typeName(QStringLiteral("VMT"));
    QCOMPARE(cache.count(), 1);
    QCOMPARE(cache.typeName(QStringLiteral("vmt")), name);
    QCOMPARE(cache.typeName(QStringLiteral("  vMt \t")), name);
    cache.icon(QStringLiteral("vmt"));
    QCOMPARE(cache.count(), 1);
    QVERIFY(!cache.add(QStringLiteral(" VMT")));
    QVERIFY(cache.add(QStringLiteral("vtf")));
    QCOMPARE(cache.count(), 2);
}

void TestFileIconCache::emptyExtensionUsesDefaults_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("  \t ");
    QTest::newRow("a folder") << QStringLiteral("x/../../y");
    QTest::newRow("backslash") << QStringLiteral("x\\y");
}

void TestFileIconCache::emptyExtensionUsesDefaults()
{
    QFETCH(QString, extension);
    CFileIconCache cache;
    QCOMPARE(cache.typeName(extension), QStringLiteral("FILE"));
    cache.icon(extension);
    QVERIFY(!cache.add(extension));
    QCOMPARE(cache.count(), 0);
}

void TestFileIconCache::unknownExtensionIsCached()
{
    CFileIconCache cache;
    QVERIFY(!cache.typeName(QStringLiteral("qqzzxy")).isEmpty());
    QCOMPARE(cache.count(), 1);
}

void TestFileIconCache::unwritableTempDirGivesDefaults()
{
    // A plain file as the temporary directory: nothing can be created below
    // it, not even by root (a missing directory would not do: Qt then falls
    // back to "/").
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString notADirectory = temp.filePath(QStringLiteral("file"));
    {
        QFile file(notADirectory);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    CFileIconCache cache;
    {
        TempDirOverride tmp(notADirectory.toLocal8Bit());
        QCOMPARE(cache.typeName(QStringLiteral("vpk")), QStringLiteral("FILE"));
        QVERIFY(!cache.add(QStringLiteral("vpk")));
        QCOMPARE(cache.count(), 0);
    }
    // A failed probe leaves no entry, so the next request probes again.
    cache.typeName(QStringLiteral("vpk"));
    QCOMPARE(cache.count(), 1);
}

void TestFileIconCache::probesLeaveNothingBehind()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    {
        TempDirOverride tmp(temp.path().toLocal8Bit());
        CFileIconCache cache;
        cache.icon(QStringLiteral("bsp"));
        cache.icon(QStringLiteral("pcf"));
        QCOMPARE(cache.count(), 2);
    }
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

QTEST_MAIN(TestFileIconCache)
#include "tst_fileiconcache.moc"
