#include "ByteBuilder.h"
#include "Fuzz.h"
#include "VTFSheet.h"
#include "VVTFFixture.h"
#include "VVTFParticleSheetWidget.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// A sheet payload of looping sequences, one frame record per duration given,
// coordinates 0.25 each, one or four sets.
QByteArray payload(qint32 version, const QList<QList<float>> &sequences)
{
    ByteBuilder b;
    b.i32(version).i32(sequences.size());
    const int coordinates = version == 0 ? 4 : 16;
    for (int s = 0; s < sequences.size(); ++s) {
        b.i32(s + 7).i32(0).i32(sequences[s].size()).f32(2.5f);
        for (float duration : sequences[s]) {
            b.f32(duration);
            for (int i = 0; i < coordinates; ++i)
                b.f32(0.25f);
        }
    }
    return b.data();
}

QByteArray written(const VVTFParticleSheetWidget &widget)
{
    QByteArray bytes("stale");
    widget.write(bytes);
    return bytes;
}
} // namespace

class TestVTFSheet : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void hostileCounts_data();
    void hostileCounts();
    void damagedPayloads();
    void editing();
    void textureButton();
};

void TestVTFSheet::roundTrip()
{
    // Version 0 comes back byte for byte, through the editor as well.
    const QByteArray one = payload(0, {{1.0f, 0.5f}});
    QCOMPARE(VTFSheet::parse(one).write(), one);
    QCOMPARE(written(VVTFParticleSheetWidget(one)), one);
    // Any version but 0 has four sets and is written back as 1.
    const QByteArray five = payload(5, {{1.0f}, {}});
    QCOMPARE(written(VVTFParticleSheetWidget(five)), payload(1, {{1.0f}, {}}));
}

void TestVTFSheet::hostileCounts_data()
{
    // Little-endian words, then zero bytes; 0x3F800000 is the float 1.
    QTest::addColumn<QList<qint32>>("words");
    QTest::addColumn<int>("zeros");
    QTest::addColumn<QList<int>>("frames");

    QTest::newRow("negative sequence count") << QList<qint32>{0, -5} << 64 << QList<int>{};
    // 40 bytes hold two sequence headers; what is missing reads as 0.
    QTest::newRow("sequence count beyond the bytes")
        << QList<qint32>{0, 0x7FFFFFFF} << 40 << QList<int>{0, 0};
    QTest::newRow("frame count beyond the bytes")
        << QList<qint32>{0, 1, 1, 0, 0x7FFFFFFF, 0x3F800000} << 50 << QList<int>{2};
    QTest::newRow("four sets, third frame short")
        << QList<qint32>{3, 1, 1, 0, 3, 0x3F800000} << 68 * 2 + 67 << QList<int>{2};
    QTest::newRow("negative frame count")
        << QList<qint32>{0, 1, 1, 0, -1, 0x3F800000} << 40 << QList<int>{0};
}

void TestVTFSheet::hostileCounts()
{
    QFETCH(QList<qint32>, words);
    QFETCH(int, zeros);
    QFETCH(QList<int>, frames);
    ByteBuilder bytes;
    for (qint32 word : words)
        bytes.i32(word);
    const VTFSheet sheet = VTFSheet::parse(bytes.zeros(zeros).data());
    QList<int> found;
    for (const VTFSheetSequence &sequence : sheet.sequences) {
        QCOMPARE(sequence.frameCount, sequence.frames.size());
        found << sequence.frames.size();
    }
    QCOMPARE(found, frames);
}

void TestVTFSheet::damagedPayloads()
{
    // Memory stays in proportion to the payload, whatever its counts say:
    // headers and frames each at most what the bytes hold.
    const QByteArray valid = payload(1, {{1.0f, 2.0f}, {3.0f}});
    auto load = [](const QByteArray &bytes) {
        const VTFSheet sheet = VTFSheet::parse(bytes);
        qint64 frames = 0;
        for (const VTFSheetSequence &sequence : sheet.sequences)
            frames += sequence.frames.size();
        QVERIFY(sheet.sequences.size() * 16 + frames * 20 <= 2 * bytes.size());
        QByteArray rewritten;
        VVTFParticleSheetWidget(bytes).write(rewritten);
    };
    Fuzz::truncations(valid, load);
    Fuzz::byteFlips(valid, 300, 0x5EE7, load);
}

void TestVTFSheet::editing()
{
    VVTFParticleSheetWidget widget(payload(0, {{1.0f, 1.0f, 1.0f}}));
    QCOMPARE(child<QLabel>(widget, "sequenceLabel")->text(), QStringLiteral("Sequence: 0/0"));
    QCOMPARE(child<QLabel>(widget, "frameLabel")->text(), QStringLiteral("Frame: 0/2"));

    // Values are limited, not refused; text that is no number changes nothing.
    const char *edits[][3] = {{"coordinate0", "1.5", "1"},
                              {"coordinate1", "-2", "0"},
                              {"coordinate2", "abc", "0.25"},
                              {"coordinate3", "nan", "0.25"},
                              {"sequenceDuration", "-3", "0"},
                              {"frameDuration", "inf", "340282346638528859811704183484516925440"}};
    for (const auto &edit : edits)
        QCOMPARE(type(widget, edit[0], edit[1]), QString::fromLatin1(edit[2]));
    widget.nextFrame();
    QCOMPARE(widget.currentFrame(), 1);
    QCOMPARE(child<QLineEdit>(widget, "coordinate0")->text(), QStringLiteral("0.25"));

    // Unchecking "Loop" makes a looping sequence clamp; checking the extra
    // sets writes version 1 with zeros in sets 2 to 4.
    child<QCheckBox>(widget, "loop")->click();
    child<QGroupBox>(widget, "extraSets")->setChecked(true);
    const VTFSheet edited = VTFSheet::parse(written(widget));
    QVERIFY(edited.fourSets && edited.sequences[0].clamp == 1);
    QCOMPARE(edited.sequences[0].duration, 0.0f);
    const VTFSheetFrame &first = edited.sequences[0].frames[0];
    QCOMPARE(QList<float>(first.coordinates.begin(), first.coordinates.begin() + 5),
             QList<float>({1.0f, 0.0f, 0.25f, 0.25f, 0.0f}));
}

void TestVTFSheet::textureButton()
{
    // Both sheet dialogs get the duration edited: the first is cancelled.
    const auto edit = [](QDialog *dialog) {
        type(*dialog->findChild<VVTFParticleSheetWidget *>(), "sequenceDuration", "9");
    };
    PromptScript script;
    script.then(CPrompt::Answer(), edit).accept(edit);
    // Without a sheet nothing is shown (the script would edit a null editor).
    CFileVTF bare(4, 4);
    QVERIFY(!VVTFParticleSheetWidget::editSheet(bare, nullptr));

    // Cancel leaves the payload as it was, edits and all; Ok replaces it and
    // marks the editor window modified.
    const QByteArray original = payload(0, {{1.0f}});
    auto *document = new CFileVTF(4, 4);
    document->addResource(VTFResourceTag::Sheet)->payload = original;
    VVTF window(document);
    window.sheetButton->click();
    QCOMPARE(document->findResource(VTFResourceTag::Sheet)->payload, original);
    QVERIFY(!window.isWindowModified());
    window.sheetButton->click();
    const QByteArray edited = document->findResource(VTFResourceTag::Sheet)->payload;
    QCOMPARE(VTFSheet::parse(edited).sequences[0].duration, 9.0f);
    QVERIFY(window.isWindowModified());
}

QTEST_MAIN(TestVTFSheet)
#include "tst_vtfsheet.moc"
