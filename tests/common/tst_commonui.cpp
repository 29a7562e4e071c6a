#include "uifunctions.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestCommonUi : public QObject
{
    Q_OBJECT

private slots:
    void textWidthGrows();
    void centerWidgetOverReference();
    void iconForExtension();
    void fitColumnToContents_data();
    void fitColumnToContents();
};

void TestCommonUi::textWidthGrows()
{
    QCOMPARE(textWidth(QString()), 0);
    QVERIFY(textWidth("W") > 0);
    QVERIFY(textWidth("WWWW") > textWidth("W"));
}

void TestCommonUi::centerWidgetOverReference()
{
    QWidget reference;
    reference.setGeometry(100, 50, 400, 301);
    reference.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reference));

    QLabel label(QStringLiteral("some text"));
    label.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    centerWidget(&label, &reference);
    QCOMPARE(label.size(), label.sizeHint());
    const QPoint origin = reference.mapToGlobal(QPoint(0, 0));
    QCOMPARE(label.pos(), QPoint(origin.x() + (400 - label.width()) / 2,
                                 origin.y() + (301 - label.height()) / 2));

    const QPoint before = label.pos();
    centerWidget(nullptr, &reference);
    centerWidget(&label, nullptr);
    QCOMPARE(label.pos(), before);
}

void TestCommonUi::iconForExtension()
{
    // The fallback resource may not be compiled in: a null icon then, never a
    // crash. Hostile extensions must not create anything outside the probe
    // folder.
    const QStringList extensions{"vtf", "VMT", "", "../../escape", "a/b", "tar.gz"};
    for (const QString &extension : extensions)
        ::iconForExtension(extension);
    QVERIFY(!QFileInfo::exists(QDir::temp().filePath("escape")));
}

void TestCommonUi::fitColumnToContents_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("expected"); // "text", "maximum" or "minimum"

    const QString path = QStringLiteral("/materials/models/props_industrial/warehouse_shelf01.vmt");
    QTest::newRow("long name shows whole") << path << 2000 << "text";
    QTest::newRow("capped") << path << 150 << "maximum";
    QTest::newRow("short name keeps the minimum") << QStringLiteral("a") << 2000 << "minimum";
}

void TestCommonUi::fitColumnToContents()
{
    QFETCH(QString, text);
    QFETCH(int, maximum);
    QFETCH(QString, expected);

    QTableWidget table(3, 2);
    table.horizontalHeader()->setMinimumSectionSize(112);
    table.horizontalHeader()->resizeSection(0, 300);
    table.setItem(0, 0, new QTableWidgetItem(QStringLiteral("short")));
    table.setItem(1, 0, new QTableWidgetItem(text));
    const int otherWidth = table.horizontalHeader()->sectionSize(1);
    ::fitColumnToContents(&table, 0, maximum);
    const int width = table.horizontalHeader()->sectionSize(0);
    if (expected == QLatin1String("text")) {
        QVERIFY(width >= table.fontMetrics().horizontalAdvance(text));
        QVERIFY(width < maximum);
    } else if (expected == QLatin1String("maximum")) {
        QCOMPARE(width, maximum);
    } else {
        QCOMPARE(width, 112);
    }
    // The other column is left as it was.
    QCOMPARE(table.horizontalHeader()->sectionSize(1), otherWidth);
}

QTEST_MAIN(TestCommonUi)
#include "tst_commonui.moc"
