#include "Resampler.h"

#include <QtTest>

#include <vector>

namespace {
// Feeds every source row, taking each destination row as soon as it is ready.
std::vector<float> run(Resampler &resampler, const std::vector<float> &source, int srcX, int srcY,
                       int dstX)
{
    std::vector<float> out;
    for (int y = 0; y < srcY; ++y) {
        if (!resampler.addSourceRow(source.data() + size_t(y) * size_t(srcX)))
            break;
        while (const float *row = resampler.takeDestinationRow())
            out.insert(out.end(), row, row + dstX);
    }
    return out;
}
} // namespace

class TestResampler : public QObject
{
    Q_OBJECT

private slots:
    void boxAverages();
    void tentWeightsSumToOne();
    void refusals();
    void clamping();
    void boundaries_data();
    void boundaries();
};

void TestResampler::boxAverages()
{
    const std::vector<float> source = {1, 3, 10, 20, 5, 7, 30, 40, 0, 0, 8, 8, 4, 4, 8, 8};
    Resampler box(4, 4, 2, 2, BOUNDARY_CLAMP, 0, 0, "box");
    QCOMPARE(box.status(), STATUS_OKAY);
    QCOMPARE(run(box, source, 4, 4, 2), std::vector<float>({4, 25, 2, 8}));
    QVERIFY(!box.addSourceRow(source.data()));
    QVERIFY(!box.takeDestinationRow());
    // Lists handed to a second resampler give the same result, and restart
    // gives it again.
    const ResamplerContributorList *x = nullptr, *y = nullptr;
    box.contributorLists(&x, &y);
    Resampler shared(4, 4, 2, 2, BOUNDARY_CLAMP, 0, 0, "box", x, y);
    QCOMPARE(run(shared, source, 4, 4, 2), std::vector<float>({4, 25, 2, 8}));
    box.restart();
    QCOMPARE(run(box, source, 4, 4, 2), std::vector<float>({4, 25, 2, 8}));
}

void TestResampler::tentWeightsSumToOne()
{
    Resampler tent(1, 1, 3, 3, BOUNDARY_CLAMP, 0, 0, "tent");
    const std::vector<float> out = run(tent, {0.7f}, 1, 1, 3);
    QCOMPARE(out.size(), size_t(9));
    for (float value : out)
        QVERIFY(qAbs(value - 0.7f) < 1e-6f);
    const ResamplerContributorList *x = nullptr;
    tent.contributorLists(&x, nullptr);
    for (int i = 0; i < 3; ++i) {
        float sum = 0;
        for (quint32 k = 0; k < x[i].count; ++k)
            sum += x[i].contributors[k].weight;
        QCOMPARE(sum, 1.0f);
    }
    QCOMPARE(resamplerFilterCount(), 16);
    QCOMPARE(QByteArray(resamplerFilterName(7)), QByteArray("lanczos4"));
    QVERIFY(!resamplerFilterName(16));
}

void TestResampler::refusals()
{
    Resampler unknown(4, 4, 2, 2, BOUNDARY_CLAMP, 0, 0, "nearest");
    QCOMPARE(unknown.status(), STATUS_BAD_FILTER_NAME);
    const float row[4] = {1, 2, 3, 4};
    QVERIFY(!unknown.addSourceRow(row));
    QVERIFY(!unknown.takeDestinationRow());

    for (const QList<int> &sizes : {QList<int>{0, 4, 2, 2}, QList<int>{4, 4, 2, -1}}) {
        Resampler bad(sizes[0], sizes[1], sizes[2], sizes[3]);
        QCOMPARE(bad.status(), STATUS_BAD_SIZE);
        QVERIFY(!bad.takeDestinationRow());
    }

    // One destination row needs every source row: more than the buffer holds.
    Resampler tall(1, 20000, 1, 1, BOUNDARY_CLAMP, 0, 0, "box");
    QCOMPARE(tall.status(), STATUS_OKAY);
    const std::vector<float> column(20000, 1.0f);
    QVERIFY(run(tall, column, 1, 20000, 1).empty());
    QCOMPARE(tall.status(), STATUS_SCAN_BUFFER_FULL);
}

void TestResampler::clamping()
{
    // A hard edge enlarged with a windowed sinc rings past both levels.
    const std::vector<float> edge = {0, 0, 0, 0, 1, 1, 1, 1};
    auto extremes = [&](float low, float high) {
        Resampler lanczos(8, 1, 32, 1, BOUNDARY_CLAMP, low, high, "lanczos3");
        const std::vector<float> out = run(lanczos, edge, 8, 1, 32);
        return qMakePair(*std::min_element(out.begin(), out.end()),
                         *std::max_element(out.begin(), out.end()));
    };
    const auto free = extremes(0.5f, 0.5f);
    QVERIFY(free.first < 0.0f && free.second > 1.0f);
    QCOMPARE(extremes(0.0f, 1.0f), qMakePair(0.0f, 1.0f));
}

void TestResampler::boundaries_data()
{
    QTest::addColumn<int>("j");
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("wrapReflectClamp");

    QTest::newRow("inside") << 2 << 5 << QList<int>{2, 2, 2};
    QTest::newRow("-1") << -1 << 5 << QList<int>{4, 1, 0};
    QTest::newRow("-5") << -5 << 5 << QList<int>{0, 4, 0};
    QTest::newRow("-7") << -7 << 5 << QList<int>{3, 4, 0};
    QTest::newRow("5") << 5 << 5 << QList<int>{0, 4, 4};
    QTest::newRow("9") << 9 << 5 << QList<int>{4, 0, 4};
    QTest::newRow("12") << 12 << 5 << QList<int>{2, 0, 4};
}

void TestResampler::boundaries()
{
    QFETCH(int, j);
    QFETCH(int, n);
    QFETCH(QList<int>, wrapReflectClamp);

    QCOMPARE(QList<int>({resamplerBoundaryIndex(j, n, BOUNDARY_WRAP),
                         resamplerBoundaryIndex(j, n, BOUNDARY_REFLECT),
                         resamplerBoundaryIndex(j, n, BOUNDARY_CLAMP)}),
             wrapReflectClamp);
}

QTEST_GUILESS_MAIN(TestResampler)
#include "tst_resampler.moc"
