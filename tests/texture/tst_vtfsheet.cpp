#include "ByteBuilder.h"
#include "CFileVTF.h"
#include "CPrompt.h"
#include "Fuzz.h"
#include "VTFSheet.h"
#include "VVTF.h"
#include "VVTFParticleSheetWidget.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// A sheet payload: one frame record per entry of `frames` (its duration),
// coordinates 0.25 each, one or four sets.
QByteArray payload(qint32 version, const QList<QList<float>> &sequences, qint32 clamp = 0)
{
    ByteBuilder b;
    b.i32(version).i32(sequences.size());
    const int coordinates = version == 0 ? 4 : 16;
    for (int s = 0; s < sequences.size(); ++s) {
        b.i32(s + 7).i32(clamp).i32(sequences[s].size()).f32(2.5f);
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

template <typename T>
T *child(QWidget &widget, const char *name)
{
    return widget.findChild<T *>(QString::fromLatin1(name));
}

void type(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    emit edit->editingFinished();
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
    QCOMPARE(VTFSheet::parse(five).sequences.size(), 2);
    QCOMPARE(written(VVTFParticleSheetWidget(five)), payload(1, {{1.0f}, {}}));
}

void TestVTFSheet::hostileCounts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("frames");

    ByteBuilder negative;
    negative.i32(0).i32(-5).zeros(64);
    QTest::newRow("negative sequence count") << negative.data() << QList<int>{};
    ByteBuilder huge;
    huge.i32(0).i32(0x7FFFFFFF).zeros(40);
    // 40 bytes hold two sequence headers; what is missing reads as 0.
    QTest::newRow("sequence count beyond the bytes") << huge.data() << QList<int>{0, 0};
    ByteBuilder frames;
    frames.i32(0).i32(1).i32(1).i32(0).i32(0x7FFFFFFF).f32(1).zeros(50);
    QTest::newRow("frame count beyond the bytes") << frames.data() << QList<int>{2};
    ByteBuilder fourSets;
    fourSets.i32(3).i32(1).i32(1).i32(0).i32(3).f32(1).zeros(68 * 2 + 67);
    QTest::newRow("four sets, third frame short") << fourSets.data() << QList<int>{2};
    ByteBuilder negativeFrames;
    negativeFrames.i32(0).i32(1).i32(1).i32(0).i32(-1).f32(1).zeros(40);
    QTest::newRow("negative frame count") << negativeFrames.data() << QList<int>{0};
}

void TestVTFSheet::hostileCounts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, frames);
    const VTFSheet sheet = VTFSheet::parse(bytes);
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
    const QList<QLabel *> labels = widget.findChildren<QLabel *>();
    QStringList counters;
    for (QLabel *label : labels)
        if (label->text().contains(QLatin1Char('/')))
            counters << label->text();
    QCOMPARE(counters, QStringList({"Sequence: 0/0", "Frame: 0/2"}));
    QVERIFY(!child<QPushButton>(widget, "previousSequence")->isEnabled());
    QVERIFY(!child<QPushButton>(widget, "nextSequence")->isEnabled());
    QVERIFY(child<QPushButton>(widget, "nextFrame")->isEnabled());

    // Values are limited, not refused; text that is no number changes nothing.
    const struct
    {
        const char *field;
        const char *text;
        const char *shown;
    } edits[] = {{"coordinate0", "1.5", "1"},
                 {"coordinate1", "-2", "0"},
                 {"coordinate2", "abc", "0.25"},
                 {"coordinate3", "nan", "0.25"},
                 {"sequenceDuration", "-3", "0"},
                 {"frameDuration", "inf", "340282346638528859811704183484516925440"}};
    for (const auto &edit : edits) {
        type(child<QLineEdit>(widget, edit.field), QString::fromLatin1(edit.text));
        QCOMPARE(child<QLineEdit>(widget, edit.field)->text(), QString::fromLatin1(edit.shown));
    }
    widget.nextFrame();
    QCOMPARE(widget.currentFrame(), 1);
    QCOMPARE(child<QLineEdit>(widget, "coordinate0")->text(), QStringLiteral("0.25"));

    // Unchecking "Loop" makes a looping sequence clamp; checking the extra
    // sets writes version 1 with zeros in sets 2 to 4.
    child<QCheckBox>(widget, "loop")->click();
    child<QGroupBox>(widget, "extraSets")->setChecked(true);
    const VTFSheet edited = VTFSheet::parse(written(widget));
    QVERIFY(edited.fourSets);
    QCOMPARE(edited.sequences[0].clamp, 1);
    QCOMPARE(edited.sequences[0].duration, 0.0f);
    const VTFSheetFrame &first = edited.sequences[0].frames[0];
    QCOMPARE(QList<float>(first.coordinates.begin(), first.coordinates.begin() + 5),
             QList<float>({1.0f, 0.0f, 0.25f, 0.25f, 0.0f}));
}

void TestVTFSheet::textureButton()
{
    CFileVTF texture(4, 4);
    int asked = 0;
    bool accept = false;
    CPrompt::ScopedHandler script([&](const CPrompt::Request &request) {
        ++asked;
        auto *editor = request.dialog->findChild<VVTFParticleSheetWidget *>();
        type(editor->findChild<QLineEdit *>(QStringLiteral("sequenceDuration")),
             QStringLiteral("9"));
        CPrompt::Answer answer;
        answer.result = accept ? QDialog::Accepted : QDialog::Rejected;
        return answer;
    });
    // Without a sheet nothing is shown.
    QVERIFY(!VVTFParticleSheetWidget::editSheet(texture, nullptr));
    QCOMPARE(asked, 0);

    const QByteArray original = payload(0, {{1.0f}});
    texture.addResource(VTFResourceTag::Sheet)->payload = original;
    QVERIFY(!VVTFParticleSheetWidget::editSheet(texture, nullptr));
    QCOMPARE(texture.findResource(VTFResourceTag::Sheet)->payload, original);
    // Ok in the editor window's dialog: the payload is replaced and the
    // window marked modified.
    accept = true;
    auto *document = new CFileVTF(4, 4);
    document->addResource(VTFResourceTag::Sheet)->payload = original;
    VVTF window(document);
    window.sheetButton->click();
    QCOMPARE(VTFSheet::parse(document->findResource(VTFResourceTag::Sheet)->payload)
                 .sequences[0]
                 .duration,
             9.0f);
    QVERIFY(window.isWindowModified());
    QCOMPARE(asked, 2);
}

QTEST_MAIN(TestVTFSheet)
#include "tst_vtfsheet.moc"
