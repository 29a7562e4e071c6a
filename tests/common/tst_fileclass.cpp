#include "ByteBuilder.h"
#include "Fuzz.h"
#include "IFileClass.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A small document: magic "TDOC", a float and a Latin-1 name of counted length.
class CFileTest : public IFileClass<CFileTest>
{
public:
    using IFileClass<CFileTest>::write;

    CFileTest() { ++s_live; }
    ~CFileTest() override { --s_live; }

    bool read(QDataStream &stream) override
    {
        char magic[4];
        if (stream.readRawData(magic, 4) != 4 || QByteArray(magic, 4) != "TDOC") {
            m_error = QStringLiteral("Read Error: Not a test document");
            return false;
        }
        quint8 length = 0;
        stream >> m_value >> length;
        QByteArray name(length, '\0');
        if (stream.readRawData(name.data(), length) != length ||
            stream.status() != QDataStream::Ok) {
            m_error = QStringLiteral("Read Error: Incomplete");
            return false;
        }
        m_name = QString::fromLatin1(name);
        return true;
    }

    bool write(QDataStream &stream) override
    {
        if (m_refuse) {
            if (m_refuseWithReason)
                m_error = QStringLiteral("Write Error: Refused");
            return false;
        }
        const QByteArray name = m_name.toLatin1();
        stream.writeRawData("TDOC", 4);
        stream << m_value << quint8(name.size());
        stream.writeRawData(name.constData(), name.size());
        return true;
    }

    float m_value = 0;
    QString m_name;
    bool m_refuse = false;
    bool m_refuseWithReason = true;
    static int s_live;
};

int CFileTest::s_live = 0;

// A document without a default constructor, made for loading through its own
// factory, as the texture document is.
class CFileSized : public IFileClass<CFileSized>
{
public:
    using IFileClass<CFileSized>::write;

    CFileSized(int width, int height)
        : m_width(width)
        , m_height(height)
    {}
    static CFileSized *createForLoading() { return new CFileSized(1, 1); }

    bool read(QDataStream &) override { return true; }
    bool write(QDataStream &) override { return false; }

    int m_width;
    int m_height;
};

QByteArray documentBytes(float value, const QByteArray &name)
{
    ByteBuilder b;
    b.bytes("TDOC").f32(value).u8(quint8(name.size())).bytes(name);
    return b.data();
}

} // namespace

class TestFileClass : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void loadFromByteArray();
    void loaderErrors_data();
    void loaderErrors();
    void readerFailureDeletesDocument();
    void fromFileSetsPathAndName();
    void openDeviceIsUsedAndLeftOpen();
    void customFactory();
    void writeMatchesHandBuiltBytes();
    void writeErrors();
    void failedSaveKeepsOldFile();
    void truncatedAndFlippedInput();

private:
    QTemporaryDir m_dir;
};

void TestFileClass::construction()
{
    CFileTest doc;
    QCOMPARE(doc.displayName(), QStringLiteral("untitled"));
    QVERIFY(doc.isEmpty());
    QVERIFY(doc.error().isEmpty());
    QVERIFY(doc.inherits("CFileClass"));
}

void TestFileClass::loadFromByteArray()
{
    QString error = QStringLiteral("stale");
    QScopedPointer<CFileTest> doc(CFileTest::fromByteArray(documentBytes(2.5f, "brick"), error));
    QVERIFY(doc);
    // A successful load still hands back the (empty) document error.
    QVERIFY(error.isEmpty());
    QCOMPARE(doc->m_value, 2.5f);
    QCOMPARE(doc->m_name, QStringLiteral("brick"));
    QCOMPARE(doc->displayName(), QStringLiteral("untitled"));
    QVERIFY(doc->toString().isEmpty());
}

void TestFileClass::loaderErrors_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("error");
    QTest::newRow("missing file") << 0 << "Read Error: File does not exist";
    QTest::newRow("empty path") << 1 << "Read Error: File does not exist";
    QTest::newRow("directory") << 2 << "Read Error: Unable to open device";
    QTest::newRow("null device") << 3 << "Read Error: Unable to open device";
    QTest::newRow("device that cannot open") << 4 << "Read Error: Unable to open device";
    QTest::newRow("bad magic") << 5 << "Read Error: Not a test document";
    QTest::newRow("short") << 6 << "Read Error: Incomplete";
}

void TestFileClass::loaderErrors()
{
    QFETCH(int, kind);
    QString error;
    CFileTest *doc = nullptr;
    QFile missing(m_dir.filePath("nothing/here.tst"));
    switch (kind) {
    case 0:
        doc = CFileTest::fromFile(m_dir.filePath("missing.tst"), error);
        break;
    case 1:
        doc = CFileTest::fromFile(QString(), error);
        break;
    case 2:
        doc = CFileTest::fromFile(m_dir.path(), error);
        break;
    case 3:
        doc = CFileTest::fromDevice(nullptr, error);
        break;
    case 4:
        doc = CFileTest::fromDevice(&missing, error);
        break;
    case 5:
        doc = CFileTest::fromByteArray(QByteArray("XDOC\0\0\0\0\0", 9), error);
        break;
    case 6:
        doc = CFileTest::fromByteArray(documentBytes(1, "name").left(10), error);
        break;
    }
    QVERIFY(!doc);
    QTEST(error, "error");
}

void TestFileClass::readerFailureDeletesDocument()
{
    const int before = CFileTest::s_live;
    QVERIFY(!CFileTest::fromByteArray(QByteArray("nope")));
    QCOMPARE(CFileTest::s_live, before);
}

void TestFileClass::fromFileSetsPathAndName()
{
    const QString path = m_dir.filePath("Some.Model.tst");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(documentBytes(1, "x"));
    }
    QString error;
    QScopedPointer<CFileTest> doc(CFileTest::fromFile(path, error));
    QVERIFY2(doc, qPrintable(error));
    QCOMPARE(doc->toString(), path);
    QCOMPARE(doc->m_extension, QStringLiteral("Model.tst"));
    QCOMPARE(doc->displayName(), QStringLiteral("Some"));
}

void TestFileClass::openDeviceIsUsedAndLeftOpen()
{
    QByteArray data = QByteArray("skip") + documentBytes(4, "abc") + QByteArray("tail");
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    buffer.seek(4);
    QScopedPointer<CFileTest> doc(CFileTest::fromDevice(&buffer));
    QVERIFY(doc);
    QVERIFY(buffer.isOpen());
    QCOMPARE(buffer.readAll(), QByteArray("tail"));

    QBuffer closed;
    closed.setData(documentBytes(4, "abc"));
    QScopedPointer<CFileTest> doc2(CFileTest::fromDevice(&closed));
    QVERIFY(doc2);
    QVERIFY(closed.isOpen());
}

void TestFileClass::customFactory()
{
    QScopedPointer<CFileSized> doc(CFileSized::fromByteArray(QByteArray()));
    QVERIFY(doc);
    QCOMPARE(doc->m_width, 1);
    QCOMPARE(doc->m_height, 1);
}

void TestFileClass::writeMatchesHandBuiltBytes()
{
    CFileTest doc;
    doc.m_value = -0.75f;
    doc.m_name = QStringLiteral("caf\u00e9");
    const QByteArray expected = documentBytes(-0.75f, "caf\xe9");

    QByteArray bytes("old contents that must go");
    QVERIFY(doc.write(&bytes));
    QCOMPARE(bytes, expected);

    const QString path = m_dir.filePath("out.tst");
    QVERIFY(doc.write(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);

    // An open device is written in whatever mode and position it has.
    QByteArray target("ab");
    QBuffer buffer(&target);
    QVERIFY(buffer.open(QIODevice::Append));
    QVERIFY(doc.write(&buffer));
    QVERIFY(buffer.isOpen());
    QCOMPARE(target, QByteArray("ab") + expected);
}

void TestFileClass::writeErrors()
{
    CFileTest doc;
    QVERIFY(!doc.write(QString()));
    QCOMPARE(doc.error(), QStringLiteral("Write Error: Invalid path"));
    // No temporary file in a missing folder: the message names the folder.
    QVERIFY(!doc.write(m_dir.filePath("no/such/folder/x.tst")));
    QCOMPARE(doc.error(), CSaveFile::folderMessage(m_dir.filePath("no/such/folder/x.tst")));
    QVERIFY(!doc.write(static_cast<QByteArray *>(nullptr)));
    QCOMPARE(doc.error(), QStringLiteral("Write Error: Unable to open device"));

    // A writer that believes it succeeded on a device that takes nothing.
    QByteArray data;
    QBuffer readOnly(&data);
    QVERIFY(readOnly.open(QIODevice::ReadOnly));
    QVERIFY(!doc.write(&readOnly));
    QCOMPARE(doc.error(), QStringLiteral("Write Error: Unable to write to device"));

    // A writer that fails without a reason keeps the previous text.
    doc.m_refuse = true;
    doc.m_refuseWithReason = false;
    // The caller's array is left as it was.
    QByteArray bytes("bytes the caller still holds");
    QVERIFY(!doc.write(&bytes));
    QCOMPARE(bytes, QByteArray("bytes the caller still holds"));
    QCOMPARE(doc.error(), QStringLiteral("Write Error: Unable to write to device"));
}

void TestFileClass::failedSaveKeepsOldFile()
{
    const QString path = m_dir.filePath("keep.tst");
    const QByteArray old("precious user data");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    CFileTest doc;
    doc.m_refuse = true;
    QVERIFY(!doc.write(path));
    QCOMPARE(doc.error(), QStringLiteral("Write Error: Refused"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList(QStringList() << "keep*", QDir::Files | QDir::Hidden),
             QStringList() << "keep.tst");
}

void TestFileClass::truncatedAndFlippedInput()
{
    const QByteArray valid = documentBytes(3, "materials/brick");
    const auto load = [](const QByteArray &bytes) {
        QString error;
        QScopedPointer<CFileTest> doc(CFileTest::fromByteArray(bytes, error));
        QVERIFY(doc || !error.isEmpty());
    };
    Fuzz::truncations(valid, load);
    Fuzz::byteFlips(valid, 300, 2, load);
}

QTEST_GUILESS_MAIN(TestFileClass)
#include "tst_fileclass.moc"
