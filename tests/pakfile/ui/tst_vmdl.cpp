#include "CFileMDL.h"
#include "VMDL.h"

#include <QTreeWidget>
#include <QtTest>

class TestVMDL : public QObject
{
    Q_OBJECT

    // The row of a label, or of component 0 to 2 (X, Y, Z) below it.
    QTreeWidgetItem *row(const QString &label, int component = -1)
    {
        QTreeWidgetItem *item = m_tree->findItems(label, Qt::MatchExactly).value(0);
        return item && component >= 0 ? item->child(component) : item;
    }

private slots:
    void init()
    {
        m_model.reset(new CFileMDL);
        m_model->header.version = 48;
        m_model->header.rootLod = 5;
        m_model->header.name = QByteArray("models/box.mdl").leftJustified(64, '\0');
        m_window.reset(new VMDL);
        m_tree = m_window->findChild<QTreeWidget *>("modelTree");
    }

    // A row stores what parses as its kind; anything else puts the stored
    // value back.
    void editsAField_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("component");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const auto add = [](const char *name, const char *label, const QString &typed,
                            const QString &shown, int component = -1) {
            QTest::newRow(name) << label << component << typed << shown;
        };
        add("negative unsigned", "Version", "-1", "48");
        add("integer all bits", "Events Indexed", "4294967295", "-1");
        add("mass", "Mass", "2.50", "2.5");
        add("component", "Eye Position", "-1.25", "-1.25", 1);
        add("byte high", "Root LOD", "255", "-1");
        add("byte too high", "Root LOD", "256", "5");
        add("byte too low", "Allowed Root LODs", "-129", "0");
        add("long name", "Internal Name", QString(65, 'n'), QString(64, 'n'));
        add("empty name", "Internal Name", "", "models/box.mdl");
        add("surface", "Surface Prop", "metal", "metal");
    }
    void editsAField()
    {
        QFETCH(QString, label);
        QFETCH(int, component);
        QFETCH(QString, typed);
        m_window->setModel(m_model.data());
        QTreeWidgetItem *item = row(label, component);
        m_tree->setCurrentItem(item);
        item->setText(1, typed);
        QTEST(item->text(1), "shown");
        // Shown afresh from the model.
        m_window->setModel(m_model.data());
        QTEST(item->text(1), "shown");
        QCOMPARE(m_model->header.name.size(), 64);
    }

private:
    QScopedPointer<CFileMDL> m_model;
    QScopedPointer<VMDL> m_window;
    QTreeWidget *m_tree = nullptr;
};

QTEST_MAIN(TestVMDL)
#include "tst_vmdl.moc"
