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

void TestCommonUi::fitColumnToContents()
{
    QTableWidget table(3, 2);
    QHeaderView *header = table.horizontalHeader();
    header->setMinimumSectionSize(112);
    header->resizeSection(0, 300);
    const int otherWidth = header->sectionSize(1);
    table.setItem(0, 0, new QTableWidgetItem(QStringLiteral("short")));
    ::fitColumnToContents(&table, 0, 2000);
    QCOMPARE(header->sectionSize(0), 112);

    const QString path = QStringLiteral("/materials/models/props_industrial/warehouse_shelf01.vmt");
    table.setItem(1, 0, new QTableWidgetItem(path));
    ::fitColumnToContents(&table, 0, 2000);
    QVERIFY(header->sectionSize(0) >= table.fontMetrics().horizontalAdvance(path));
    QVERIFY(header->sectionSize(0) < 2000);
    ::fitColumnToContents(&table, 0, 150);
    QCOMPARE(header->sectionSize(0), 150);
    QCOMPARE(header->sectionSize(1), otherWidth);
}

QTEST_MAIN(TestCommonUi)
#include "tst_commonui.moc"
