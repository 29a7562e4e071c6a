#include "CPrompt.h"
#include "QFileListDialog.h"
#include "QListDialog.h"
#include "QWidgetDialog.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Answers every exec() by running `script` on the dialog and returning `result`.
CPrompt::Handler answerDialog(int result, std::function<void(QDialog *)> script = {})
{
    return [result, script](const CPrompt::Request &request) {
        CPrompt::Answer answer;
        if (request.kind == CPrompt::Kind::Exec && script)
            script(request.dialog);
        answer.result = result;
        return answer;
    };
}

QListDialog *asList(QDialog *dialog)
{
    return qobject_cast<QListDialog *>(dialog);
}

} // namespace

class TestListDialogs : public QObject
{
    Q_OBJECT

private slots:
    void titles();
    void setItemsRow();
    void longItemsAreElided();
    void executeResults_data();
    void executeResults();
    void rejectClearsSelection();
    void realExecIsAnswered();
    void doubleClick_data();
    void doubleClick();
    void selectedRowsInSelectionOrder();
    void fileListBrowseAndRemove();
    void fileListExecute_data();
    void fileListExecute();
    void widgetDialog();
};

void TestListDialogs::titles()
{
    QListDialog orphan(nullptr, QDialogButtonBox::Ok);
    QCOMPARE(orphan.windowTitle(), QStringLiteral("Select Item(s)"));

    QWidget parent;
    parent.setWindowTitle(QStringLiteral("Particle Editor"));
    QListDialog child(&parent, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(child.windowTitle(), QStringLiteral("Particle Editor"));

    QFileListDialog files(QStringLiteral("Particle Configuration File (*.pcf)"));
    QCOMPARE(files.windowTitle(), QStringLiteral("Select Item(s)"));
}

void TestListDialogs::setItemsRow()
{
    QListDialog d(nullptr, QDialogButtonBox::Ok);
    d.setItems({"a", "b", "c"}, 1);
    QCOMPARE(d.selectedRow(), 1);
    QCOMPARE(d.list->currentRow(), 1);

    d.setItems({"x", "y"}, -1);
    QCOMPARE(d.list->count(), 2);
    QCOMPARE(d.selectedRow(), -1);
    QCOMPARE(d.list->currentRow(), -1);
    QVERIFY(d.selectedRows().isEmpty());
}

void TestListDialogs::longItemsAreElided()
{
    // A sideways scroll bar would make the view scroll instead of eliding.
    QListDialog d(nullptr, QDialogButtonBox::Ok);
    d.setItems({QString(400, QLatin1Char('x'))}, 0);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QVERIFY(!d.list->horizontalScrollBar()->isVisible());
}

void TestListDialogs::executeResults_data()
{
    QTest::addColumn<bool>("requireSelection");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("expected");

    QTest::newRow("accepted with selection") << true << 1 << 1 << 1;
    QTest::newRow("accepted without selection") << true << -1 << 1 << 0;
    QTest::newRow("rejected with selection") << true << 1 << 0 << 0;
    QTest::newRow("selection not required") << false << -1 << 1 << 1;
}

void TestListDialogs::executeResults()
{
    QFETCH(bool, requireSelection);
    QFETCH(int, row);
    QFETCH(int, result);
    QFETCH(int, expected);

    QListDialog d(nullptr, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    d.requireSelection = requireSelection;
    d.setItems({"a", "b"});
    CPrompt::ScopedHandler script(answerDialog(result, [row](QDialog *dialog) {
        if (row >= 0)
            asList(dialog)->list->item(row)->setSelected(true);
    }));
    QCOMPARE(d.execute(), expected);
}

void TestListDialogs::rejectClearsSelection()
{
    QListDialog d(nullptr, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    d.setItems({"a", "b"}, 1);
    QCOMPARE(d.selectedRow(), 1);
    CPrompt::ScopedHandler script(answerDialog(QDialog::Rejected));
    QCOMPARE(d.execute(), 0);
    QCOMPARE(d.selectedRow(), -1);
}

void TestListDialogs::realExecIsAnswered()
{
    // Without a scripted answer the real modal loop runs; answer it from a
    // timer so that the test cannot block.
    QVERIFY(!CPrompt::hasHandler());
    QListDialog d(nullptr, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    d.setItems({"a", "b", "c"}, 2);
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QListDialog *>(QApplication::activeModalWidget()))
            dialog->buttons->button(QDialogButtonBox::Ok)->click();
    });
    timer.start(10);
    QCOMPARE(d.execute(), 1);
    QCOMPARE(d.selectedRow(), 2);
}

void TestListDialogs::doubleClick_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("accepts");

    QTest::newRow("ok and cancel") << int(QDialogButtonBox::Ok | QDialogButtonBox::Cancel) << true;
    QTest::newRow("ok only") << int(QDialogButtonBox::Ok) << false;
    QTest::newRow("cancel only") << int(QDialogButtonBox::Cancel) << false;
}

void TestListDialogs::doubleClick()
{
    QFETCH(int, buttons);
    QFETCH(bool, accepts);

    QListDialog d(nullptr, QDialogButtonBox::StandardButtons(buttons));
    d.setSelectionMode(QAbstractItemView::ExtendedSelection);
    d.setItems({"a", "b", "c"});
    d.list->item(0)->setSelected(true);
    d.list->item(1)->setSelected(true);
    QSignalSpy accepted(&d, &QDialog::accepted);
    emit d.list->itemDoubleClicked(d.list->item(2));
    QCOMPARE(accepted.count(), accepts ? 1 : 0);
    if (accepts)
        QCOMPARE(d.selectedRows(), QList<int>({2}));
    else
        QCOMPARE(d.selectedRows().size(), 2);
}

void TestListDialogs::selectedRowsInSelectionOrder()
{
    QListDialog d(nullptr, QDialogButtonBox::Ok);
    d.setSelectionMode(QAbstractItemView::MultiSelection);
    d.setItems({"a", "b", "c", "d"});
    d.list->item(3)->setSelected(true);
    d.list->item(1)->setSelected(true);
    QCOMPARE(d.selectedRows(), QList<int>({3, 1}));
    QCOMPARE(d.selectedRow(), 3);
}

void TestListDialogs::fileListBrowseAndRemove()
{
    QFileListDialog d(QStringLiteral("Particle Configuration File (*.pcf)"));
    QCOMPARE(d.list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(d.minimumWidth() >= 500);
    QCOMPARE(d.buttonBrowse->text(), QStringLiteral("Browse..."));
    QCOMPARE(d.buttonRemove->text(), QStringLiteral("Remove"));
    QCOMPARE(d.buttons->buttonRole(d.buttonBrowse), QDialogButtonBox::ActionRole);

    QList<CPrompt::Request> asked;
    CPrompt::ScopedHandler script([&asked](const CPrompt::Request &request) {
        asked << request;
        CPrompt::Answer answer;
        answer.ok = true;
        answer.texts = QStringList({"/p/a.pcf", "/p/b.pcf"});
        return answer;
    });
    d.buttonBrowse->click();
    d.buttonBrowse->click();
    QCOMPARE(d.files(), QStringList({"/p/a.pcf", "/p/b.pcf", "/p/a.pcf", "/p/b.pcf"}));
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked.at(0).kind, CPrompt::Kind::OpenFileNames);
    QCOMPARE(asked.at(0).parent, nullptr);
    QCOMPARE(asked.at(0).title, QStringLiteral("Select Files"));
    QCOMPARE(asked.at(0).filter, QStringLiteral("Particle Configuration File (*.pcf)"));

    d.list->item(0)->setSelected(true);
    d.list->item(3)->setSelected(true);
    d.buttonRemove->click();
    QCOMPARE(d.files(), QStringList({"/p/b.pcf", "/p/a.pcf"}));
}

void TestListDialogs::fileListExecute_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("expected");

    QTest::newRow("files, none selected") << QStringList({"a.pcf", "b.pcf"}) << 1 << 1;
    QTest::newRow("empty list") << QStringList() << 1 << 0;
    QTest::newRow("rejected") << QStringList({"a.pcf"}) << 0 << 0;
}

void TestListDialogs::fileListExecute()
{
    QFETCH(QStringList, files);
    QFETCH(int, result);
    QFETCH(int, expected);

    QFileListDialog d(QString{});
    d.setItems(files);
    CPrompt::ScopedHandler script(answerDialog(result));
    QCOMPARE(d.execute(), expected);
}

void TestListDialogs::widgetDialog()
{
    QWidget parent;
    parent.setWindowTitle(QStringLiteral("Particle Editor"));
    parent.resize(600, 400);
    QPointer<QLabel> content = new QLabel(QStringLiteral("content"));
    {
        QWidgetDialog d(content, &parent, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(d.windowTitle(), QStringLiteral("Particle Editor"));
        QCOMPARE(content->parentWidget(), &d);
        QCOMPARE(d.minimumSize(), d.maximumSize());
        QSignalSpy accepted(&d, &QDialog::accepted);
        d.buttons->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(accepted.count(), 1);
    }
    QVERIFY(content.isNull());

    QWidgetDialog orphan(new QLabel, nullptr, QDialogButtonBox::Ok);
    QVERIFY(orphan.windowTitle().isEmpty());
}

QTEST_MAIN(TestListDialogs)
#include "tst_listdialogs.moc"
