#include "initResources.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QtTest>

namespace {
// Every icon a window of the workbench names, under ":/resources/". Callers
// write some with ".png" and some without; both spellings must resolve.
const char *const NamedIcons[] = {
    "icons/add",
    "icons/application_output",
    "icons/arrow_left",
    "icons/arrow_redo",
    "icons/arrow_refresh",
    "icons/arrow_right",
    "icons/arrow_turn_left",
    "icons/arrow_turn_right",
    "icons/arrow_undo",
    "icons/blank",
    "icons/book",
    "icons/channel_alpha",
    "icons/channel_blue",
    "icons/channel_green",
    "icons/channel_red",
    "icons/chart_bar",
    "icons/chart_organisation",
    "icons/contrast",
    "icons/cross",
    "icons/cube_wireframe",
    "icons/cut",
    "icons/database_go",
    "icons/database_lightning",
    "icons/defrag",
    "icons/disk",
    "icons/egg_scrambled",
    "icons/empty",
    "icons/eye",
    "icons/fgd",
    "icons/folder",
    "icons/folder_explore",
    "icons/folder_up",
    "icons/icon_bsp",
    "icons/icon_lmp",
    "icons/icon_vbsp",
    "icons/icon_vmf",
    "icons/image",
    "icons/lock",
    "icons/magnifier",
    "icons/package_magnify",
    "icons/page_copy",
    "icons/page_paste",
    "icons/page_white_add",
    "icons/page_white_disk",
    "icons/page_white_disk_add",
    "icons/page_white_get",
    "icons/page_white_put",
    "icons/page_white_stack",
    "icons/particles",
    "icons/picture_go",
    "icons/qtcreator_logo_16",
    "icons/report",
    "icons/ruler",
    "icons/shading",
    "icons/shape_handles",
    "icons/shape_move_forwards",
    "icons/shape_move_forwards_lightning",
    "icons/shape_move_front",
    "icons/sitemap",
    "icons/sitemap_inverse",
    "icons/sphere",
    "icons/spherelockright",
    "icons/tag_blue_add",
    "icons/tag_blue_copy",
    "icons/tag_blue_delete",
    "icons/tag_blue_edit",
    "icons/tag_blue_paste",
    "icons/tick",
    "icons/vbspinfo",
    "icons/ventity",
    "icons/vmass",
    "icons/vpakfile",
    "icons/vsplit",
    "icons/vtfmass2",
    "icons/vvmt",
    "icons/vvtf",
    "icons/world",
    "icons/ziver_oviraro_icon_16",
    "icons_fugue/icons/fingerprint",
};

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
    for (const char *name : NamedIcons)
        QTest::newRow(name) << QString::fromLatin1(name);
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
    QVERIFY(entries.size() >= 2 * int(std::size(NamedIcons)));
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
