#include "initResources.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QtTest>

namespace {
// Every icon a window of the workbench names, under ":/resources/". Callers
// write some with ".png" and some without; both spellings must resolve.
const QStringList &namedIcons()
{
    // Under "icons/" unless the name has a folder of its own.
    static const QStringList names = [] {
        QStringList list =
            QStringLiteral(
                "add application_output arrow_left arrow_redo arrow_refresh arrow_right "
                "arrow_turn_left arrow_turn_right arrow_undo blank book channel_alpha "
                "channel_blue channel_green channel_red chart_bar chart_organisation "
                "contrast cross cube_wireframe cut database_go database_lightning defrag "
                "disk egg_scrambled empty eye fgd folder folder_explore folder_up "
                "icon_bsp icon_lmp icon_vbsp icon_vmf image lock magnifier "
                "package_magnify page_copy page_paste page_white_add page_white_disk "
                "page_white_disk_add page_white_get page_white_put page_white_stack "
                "particles picture_go qtcreator_logo_16 report ruler shading "
                "shape_handles shape_move_forwards shape_move_forwards_lightning "
                "shape_move_front sitemap sitemap_inverse sphere spherelockright "
                "tag_blue_add tag_blue_copy tag_blue_delete tag_blue_edit tag_blue_paste "
                "tick vbspinfo ventity vmass vpakfile vsplit vtfmass2 vvmt vvtf world "
                "ziver_oviraro_icon_16 icons_fugue/icons/fingerprint")
                .split(QLatin1Char(' '));
        for (QString &name : list) {
            if (!name.contains(QLatin1Char('/')))
                name.prepend(QStringLiteral("icons/"));
        }
        return list;
    }();
    return names;
}

// Icons that are deliberately empty: a menu entry's room for a later tick.
bool meantToBeEmpty(const QString &name)
{
    return name.endsWith(QLatin1String("/blank")) || name.endsWith(QLatin1String("/empty"));
}

int opaquePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    }
    return count;
}
} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void namedIconsResolve_data();
    void namedIconsResolve();
    void everyIconHasBothSpellings();
};

void TestResources::namedIconsResolve_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : namedIcons())
        QTest::newRow(qPrintable(name)) << name;
}

void TestResources::namedIconsResolve()
{
    QFETCH(QString, name);
    const QString bare = QStringLiteral(":/resources/") + name;
    for (const QString &path : {bare, bare + QStringLiteral(".png")}) {
        QVERIFY2(QFile::exists(path), qPrintable(path));
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(image.hasAlphaChannel());
        if (meantToBeEmpty(name))
            QCOMPARE(opaquePixels(image), 0);
        else
            QVERIFY2(opaquePixels(image) > 40, qPrintable(path));
    }
    // Both spellings are the same picture.
    QCOMPARE(QImage(bare), QImage(bare + QStringLiteral(".png")));
}

void TestResources::everyIconHasBothSpellings()
{
    QSet<QString> entries;
    QDirIterator it(QStringLiteral(":/resources"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.insert(it.next());
    QVERIFY(entries.size() >= 2 * namedIcons().size());
    for (const QString &entry : qAsConst(entries)) {
        if (!entry.startsWith(QLatin1String(":/resources/icons")))
            continue;
        const QString other = entry.endsWith(QLatin1String(".png")) ? entry.chopped(4)
                                                                    : entry + QLatin1String(".png");
        QVERIFY2(entries.contains(other), qPrintable(entry));
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
