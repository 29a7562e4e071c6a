#include "CFileMDL.h"
#include "VMDL.h"

#include <QTreeWidget>
#include <QtTest>

namespace {

QTreeWidgetItem *row(QTreeWidget *tree, const QString &path)
{
    const QStringList labels = path.split('/');
    QTreeWidgetItem *item = nullptr;
    for (const QString &label : labels) {
        const int count = item ? item->childCount() : tree->topLevelItemCount();
        QTreeWidgetItem *found = nullptr;
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem *candidate = item ? item->child(i) : tree->topLevelItem(i);
            if (candidate->text(0) == label)
                found = candidate;
        }
        item = found;
        if (!item)
            return nullptr;
    }
    return item;
}

} // namespace

class TestVMDL : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_model.reset(new CFileMDL);
        m_model->header.version = 48;
        m_model->header.eventsIndexed = 7;
        m_model->header.name = QByteArray("models/box.mdl").leftJustified(64, '\0');
        m_model->surfaceProp = "wood";
        m_window.reset(new VMDL);
        m_tree = m_window->findChild<QTreeWidget *>("modelTree");
    }

    void startsEmptyAndDisabled()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Model Data Editor"));
        QVERIFY(!m_tree->isEnabled());
        QVERIFY(!m_window->findChild<QTreeWidget *>("collisionTree")->isEnabled());
        QCOMPARE(m_tree->topLevelItemCount(), 73);
        QVERIFY(!(row(m_tree, "Checksum")->flags() & Qt::ItemIsEnabled));
        QVERIFY(row(m_tree, "Hull Maximum/Z")->flags() & Qt::ItemIsEditable);
        QVERIFY(row(m_tree, "Hull Maximum/Z")->flags() & Qt::ItemIsEnabled);
    }

    void editsAField_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("version") << "Version"
                                 << "49"
                                 << "49";
        QTest::newRow("negative unsigned") << "Version"
                                           << "-1"
                                           << "48";
        QTest::newRow("flags all bits") << "Flags"
                                        << "4294967295"
                                        << "4294967295";
        QTest::newRow("integer all bits") << "Events Indexed"
                                          << "4294967295"
                                          << "-1";
        QTest::newRow("negative integer") << "Events Indexed"
                                          << "-5"
                                          << "7";
        QTest::newRow("not a number") << "Events Indexed"
                                      << "ten"
                                      << "7";
        QTest::newRow("mass") << "Mass"
                              << "2.50"
                              << "2.5";
        QTest::newRow("component") << "Eye Position/Y"
                                   << "-1.25"
                                   << "-1.25";
        QTest::newRow("bad component") << "Eye Position/Y"
                                       << "up"
                                       << "0";
        QTest::newRow("byte high") << "Root LOD"
                                   << "255"
                                   << "-1";
        QTest::newRow("byte low") << "Root LOD"
                                  << "-128"
                                  << "-128";
        QTest::newRow("byte too high") << "Root LOD"
                                       << "256"
                                       << "0";
        QTest::newRow("byte too low") << "Allowed Root LODs"
                                      << "-129"
                                      << "0";
        QTest::newRow("name") << "Internal Name"
                              << "models/crate.mdl"
                              << "models/crate.mdl";
        QTest::newRow("long name") << "Internal Name" << QString(65, 'n') << QString(64, 'n');
        QTest::newRow("empty name") << "Internal Name"
                                    << ""
                                    << "models/box.mdl";
        QTest::newRow("surface") << "Surface Prop"
                                 << "metal"
                                 << "metal";
        QTest::newRow("empty surface") << "Surface Prop"
                                       << ""
                                       << "wood";
    }
    void editsAField()
    {
        QFETCH(QString, path);
        QFETCH(QString, typed);
        m_window->setModel(m_model.data());
        QVERIFY(m_tree->isEnabled());
        QTreeWidgetItem *item = row(m_tree, path);
        QVERIFY(item);
        m_tree->setCurrentItem(item);
        item->setText(1, typed);
        QTEST(item->text(1), "shown");
        // The row shows what the model holds.
        m_window->setModel(m_model.data());
        QTEST(item->text(1), "shown");
        QCOMPARE(m_model->header.name.size(), 64);
    }

    void ignoresOtherRowsAndColumns()
    {
        m_window->setModel(m_model.data());
        QTreeWidgetItem *version = row(m_tree, "Version");
        m_tree->setCurrentItem(row(m_tree, "Flags"));
        version->setText(1, "50");
        m_tree->setCurrentItem(version);
        version->setText(0, "51");
        QCOMPARE(m_model->header.version, 48);
        // Without a model nothing is stored.
        m_window->setModel(nullptr);
        version->setText(1, "52");
        QCOMPARE(m_model->header.version, 48);
    }

private:
    QScopedPointer<CFileMDL> m_model;
    QScopedPointer<VMDL> m_window;
    QTreeWidget *m_tree = nullptr;
};

QTEST_MAIN(TestVMDL)
#include "tst_vmdl.moc"
