#include "VVTFFixture.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

// The texture editor window over documents built in code: counters, the
// rendered picture, tiling, animation, the image tree and closing.
class TestVVTFEditor : public QObject
{
    Q_OBJECT

private slots:
    void navigation();
    void renderedPixels_data();
    void renderedPixels();
    void tileSurvivesMipmapChange();
    void animation();
    void treeLabels_data();
    void treeLabels();
    void closing_data();
    void closing();
};

namespace {
QString counters(const VVTF &w)
{
    return QStringList{w.mipmapCounter->text(), w.frameCounter->text(), w.faceCounter->text(),
                       w.sliceCounter->text()}
        .join(QLatin1Char(' '));
}

// Which of the eight arrows are enabled, mipmap left first.
QString arrows(const VVTF &w)
{
    QString out;
    for (const QPushButton *b : {w.mipmapLeft, w.mipmapRight, w.frameLeft, w.frameRight, w.faceLeft,
                                 w.faceRight, w.sliceLeft, w.sliceRight})
        out += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}
} // namespace

void TestVVTFEditor::navigation()
{
    VVTF single(new CFileVTF(1, 1));
    QCOMPARE(counters(single), QStringLiteral("0/0 0/0 0/0 0/0"));
    QCOMPARE(arrows(single), QStringLiteral("00000000"));
    QVERIFY(!single.animationButton->isEnabled() && !single.keySlider->isEnabled());
    QVERIFY(single.tabs->isEnabled() && single.actionSave->isEnabled());
    QVERIFY(!single.actionGenerateMipmaps->isEnabled());
    QCOMPARE(single.windowTitle(), QStringLiteral("untitled[*]"));

    VVTF window(new CFileVTF(8, 8));
    QCOMPARE(counters(window) + ' ' + arrows(window), QStringLiteral("3/3 0/0 0/0 0/0 10000000"));
    window.mipmapLeft->click();
    QCOMPARE(counters(window) + ' ' + arrows(window), QStringLiteral("2/3 0/0 0/0 0/0 11000000"));
    QCOMPARE(window.imageLabel->size(), QSize(4, 4));
    window.mipmapRight->click();
    QCOMPARE(counters(window) + ' ' + arrows(window), QStringLiteral("3/3 0/0 0/0 0/0 10000000"));
    // A step below the first wraps and lands on the last member.
    QVERIFY(window.vtfSelectImage(0, 0, 0, 0));
    window.vtfMipmapLeft();
    QCOMPARE(window.currentMipmap(), 3);

    // An empty window has nothing to show or step through.
    VVTF empty(static_cast<CFileVTF *>(nullptr));
    QVERIFY(!empty.vtfSelectImage(0, 0, 0, 0));
    empty.vtfMipmapRight();
    empty.vtfAnimationCycle();
    QVERIFY(!empty.tabs->isEnabled() && !empty.actionSave->isEnabled());
    QCOMPARE(empty.windowTitle(), QStringLiteral("VTF Editor"));
}

void TestVVTFEditor::renderedPixels_data()
{
    // The View entries triggered, then the shown pixels at (0, 0) and (8, 0)
    // (transparent, in two checkerboard cells) and at (1, 0) (opaque).
    QTest::addColumn<QString>("row");
    QTest::newRow("rgb") << "|5a3c1e 5a3c1e c86432";
    QTest::newRow("rgb masked") << "Mask|999999 666666 c86432";
    QTest::newRow("red") << "Red|5a5a5a 5a5a5a c8c8c8";
    QTest::newRow("green masked") << "Green Mask|3c3c3c 3c3c3c 646464";
    QTest::newRow("alpha masked") << "Alpha Mask|0 0 ffffff";
}

void TestVVTFEditor::renderedPixels()
{
    QFETCH(QString, row);
    const QString view = row.section('|', 0, 0);

    auto *document = new CFileVTF(16, 16);
    QByteArray rgba = filled(16, 16, qRgba(90, 60, 30, 0));
    rgba.replace(4, 4, QByteArray::fromHex("c86432ff"));
    QVERIFY(document->setImage(rgba, 16, 16, document->mipmapCount() - 1, 0, 0, 0, false));
    VVTF window(document);
    for (const QString &entry : view.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        for (QAction *action : window.menuView->actions())
            if (action->text() == entry)
                action->trigger();
    QCOMPARE(bool(window.viewFlags() & VVTF::Mask), view.contains(QLatin1String("Mask")));

    const QImage shown = shownPicture(window);
    QCOMPARE(shown.size(), QSize(16, 16));
    QStringList out;
    for (const QPoint &p : {QPoint(0, 0), QPoint(8, 0), QPoint(1, 0)})
        out << QString::number(shown.pixel(p) & 0xFFFFFF, 16);
    QCOMPARE(out.join(' '), row.section('|', 1));
}

void TestVVTFEditor::tileSurvivesMipmapChange()
{
    VVTF window(new CFileVTF(16, 16));
    window.actionTile->trigger();
    QCOMPARE(window.imageArea->widget(), window.tileWidget);
    QCOMPARE(window.tileWidget->size(), QSize(32, 32));
    for (QLabel *copy : window.tileCopies)
        QCOMPARE(copy->pixmap(Qt::ReturnByValue).size(), QSize(16, 16));

    window.mipmapLeft->click();
    QCOMPARE(window.imageArea->widget(), window.tileWidget);
    QCOMPARE(window.tileWidget->size(), QSize(16, 16));
    for (QLabel *copy : window.tileCopies)
        QCOMPARE(copy->pixmap(Qt::ReturnByValue).size(), QSize(8, 8));

    window.actionTile->trigger();
    QCOMPARE(window.imageArea->widget(), window.imageLabel);
    QCOMPARE(window.tileWidget->parentWidget(), &window);
}

void TestVVTFEditor::animation()
{
    auto *document = new CFileVTF(4, 4);
    QVERIFY(document->setFrameCount(3));
    const QRgb colours[3] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (int frame = 0; frame < 3; ++frame)
        QVERIFY(document->setImage(filled(4, 4, colours[frame]), 4, 4, 2, frame, 0, 0, false));
    document->setFirstFrame(2);
    VVTF window(document);
    QVERIFY(window.animationButton->isEnabled());

    window.animationButton->setChecked(true);
    QVERIFY(window.animationTimer().isActive());
    QCOMPARE(window.animationTimer().interval(), 200);
    // The first tick shows the first frame, then the loop wraps to frame 0.
    QList<int> shownFrames;
    for (int tick = 0; tick < 4; ++tick) {
        window.vtfAnimationCycle();
        shownFrames << window.currentFrame();
        QCOMPARE(shownPicture(window).pixel(0, 0), colours[window.currentFrame()]);
    }
    QCOMPARE(shownFrames, (QList<int>{2, 0, 1, 2}));
    QCOMPARE(window.frameCounter->text(), QStringLiteral("2/2"));

    window.vtfShowThumbnail();
    QVERIFY(!window.animationButton->isChecked());
    QVERIFY(!window.animationTimer().isActive());
}

void TestVVTFEditor::treeLabels_data()
{
    // The texture, then the children of the largest mipmap item and the
    // first child's.
    QTest::addColumn<QString>("row");
    QTest::newRow("envmap") << "4x4 faces:6|Right,Left,Back,Front,Up,Down;";
    QTest::newRow("spheremap") << "4x4 faces:7|Right,Left,Back,Front,Up,Down,Spheremap;";
    QTest::newRow("six plain faces") << "4x4 faces:6 plain|Face 0,Face 1,Face 2,Face 3,Face 4,"
                                        "Face 5;";
    QTest::newRow("frames of slices") << "4x4 frames:2 slices:2|Frame 0,Frame 1;Slice 0,Slice 1";
    QTest::newRow("one image") << "4x4|;";
}

void TestVVTFEditor::treeLabels()
{
    QFETCH(QString, row);
    QString setup = row.section('|', 0, 0);
    const bool plain = setup.endsWith(QLatin1String(" plain"));
    CFileVTF *document = texture(setup.remove(QLatin1String(" plain")));
    if (plain)
        document->setFlags(document->flags() & ~VTFFlag::EnvironmentMap);
    VVTF window(document);

    QTreeWidget *tree = window.imageTree;
    QCOMPARE(tree->topLevelItemCount(), 4);
    QCOMPARE(tree->topLevelItem(0)->text(0) + ',' + tree->topLevelItem(1)->text(0),
             QStringLiteral("Thumbnail,1 x 1"));
    const QTreeWidgetItem *largest = tree->topLevelItem(3);
    QCOMPARE(largest->text(0), QStringLiteral("4 x 4"));
    const auto childLabels = [](const QTreeWidgetItem *item) {
        QStringList out;
        for (int i = 0; item && i < item->childCount(); ++i)
            out << item->child(i)->text(0);
        return out.join(QLatin1Char(','));
    };
    QCOMPARE(childLabels(largest) + ';' + childLabels(largest->child(0)), row.section('|', 1));
}

void TestVVTFEditor::closing_data()
{
    // Modified, the button chosen (its QMessageBox value), whether the window
    // closes and how many questions were asked.
    QTest::addColumn<QString>("row");
    QTest::newRow("unmodified") << "0 4194304 1 0";
    QTest::newRow("cancel") << "1 4194304 0 1";
    QTest::newRow("discard") << "1 8388608 1 1";
    // The file cannot be written: the window stays, and says why.
    QTest::newRow("failed save") << "1 2048 0 2";
}

void TestVVTFEditor::closing()
{
    QFETCH(QString, row);
    const QList<int> in = numbers(row);
    const bool closes = in[2];

    auto *document = new CFileVTF(4, 4);
    document->setPath(QStringLiteral("/nonexistent-folder/rock.vtf"), true);
    QPointer<VVTF> window = new VVTF(document);
    window->setWindowModified(in[0]);
    PromptScript script;
    script.answer = [&in](const CPrompt::Request &) {
        CPrompt::Answer a;
        a.result = in[1];
        a.button = QMessageBox::Ok;
        return a;
    };
    QCOMPARE(window->close(), closes);
    QCOMPARE(script.asked.size(), in[3]);
    if (in[3] > 0)
        QCOMPARE(script.asked.at(0).title, QStringLiteral("untitled[*]"));
    if (!closes)
        QVERIFY(window->isWindowModified());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(window.isNull(), closes);
    delete window;
}

QTEST_MAIN(TestVVTFEditor)
#include "tst_vvtfeditor.moc"
