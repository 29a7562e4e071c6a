// Speed of the package viewer on a large package. Usage:
//   bench_viewer [show] [search] [--rounds N] [--entries N] [--dir FOLDER]
//                [--no-memory]
// Runs without a display (QT_QPA_PLATFORM=offscreen unless set otherwise).
// `show` opens a VPK directory of 200,000 entries in a viewer and shows it
// (goal: 0.5 s); `search` lists every entry through the search (goal: 0.3 s).
// Peak memory is measured in a fresh child process (this program run with
// --child).
#include "BenchRunner.h"
#include "CDelegateVPK.h"
#include "CPackageHierarchyNode.h"
#include "CPrompt.h"
#include "PackageInputs.h"
#include "QSearchDialog.h"
#include "VPackage.h"
#include "initResources.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int DefaultEntries = 200000;
// Part of every generated name: the search lists every file.
const QString Query = QStringLiteral("material_");
volatile quint32 g_sink = 0;

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "bench_viewer: %s\n", qPrintable(what));
    std::exit(1);
}

// The viewer on screen, with everything it had to paint painted.
std::unique_ptr<VPackage> showViewer(const QString &path)
{
    auto viewer = std::make_unique<VPackage>(path);
    viewer->resize(900, 600);
    viewer->show();
    QApplication::processEvents();
    // Painted for certain: a rendering of the whole window.
    g_sink ^= quint32(viewer->grab().width());
    if (!viewer->delegate() || viewer->delegate()->nodeCount() == 0)
        fail("the viewer opened nothing");
    return viewer;
}

// The search dialog answered with the query; returns the rows listed.
int search(VPackage &viewer)
{
    CPrompt::ScopedHandler answer([](const CPrompt::Request &r) {
        CPrompt::Answer a;
        if (auto *dialog = qobject_cast<QSearchDialog *>(r.dialog)) {
            dialog->query->setText(Query);
            dialog->modeList->setCurrentIndex(0);
            a.result = QDialog::Accepted;
        }
        return a;
    });
    QAction *action = viewer.findChild<QAction *>(QStringLiteral("actionSearch"));
    if (!action)
        fail("no search action");
    action->trigger();
    QApplication::processEvents();
    g_sink ^= quint32(viewer.grab().width());
    auto *table = viewer.findChild<QAbstractItemView *>(QStringLiteral("table"));
    return table && table->model() ? table->model()->rowCount() : -1;
}

// The least a search can do: every name of the tree tested once, the matches
// kept.
int walkAndMatch(const CPackageHierarchyNode *root)
{
    std::vector<const CPackageHierarchyNode *> matches;
    std::vector<const CPackageHierarchyNode *> pending{root};
    while (!pending.empty()) {
        const CPackageHierarchyNode *node = pending.back();
        pending.pop_back();
        if (node->name().contains(Query, Qt::CaseInsensitive))
            matches.push_back(node);
        for (int i = 0; i < node->childCount(); ++i)
            pending.push_back(node->child(unsigned(i)));
    }
    return int(matches.size());
}

int childMain(const QStringList &args)
{
    const QString what = args.value(0);
    if (what == "show" || what == "search") {
        std::unique_ptr<VPackage> viewer = showViewer(args.value(1));
        if (what == "search")
            g_sink ^= quint32(search(*viewer));
    } else if (what == "open") {
        CDelegateVPK vpk;
        if (!vpk.open(args.value(1), true))
            return 1;
    } else {
        return 2;
    }
    BenchRunner::printPeak();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initResources();
    // Messages of the code under test would only disturb the timings.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == "--child")
        return childMain(args.mid(1));

    BenchOptions options;
    if (!options.parse(args, {"show", "search"}, {{"--entries", DefaultEntries}}))
        fail("unknown benchmark " + options.wanted.value(0));
    const QString folder = options.folder;
    const int entries = options.numbers.value("--entries");
    const bool memory = options.memory;
    QTemporaryDir temporary(folder.isEmpty() ? QDir::tempPath() + "/bench_viewer-XXXXXX"
                                             : folder + "/bench_viewer-XXXXXX");
    if (!temporary.isValid())
        fail("cannot make a working folder");
    const QString path = temporary.path() + "/pak01_dir.vpk";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(PackageInputs::vpkDirectory(entries)) <= 0)
        fail("cannot write " + path);
    out.close();

    BenchRunner runner(options.rounds);
    // A viewer lives past its timed part; the next round's preparation closes
    // it, untimed.
    std::unique_ptr<VPackage> viewer;
    const auto closeViewer = [&] { viewer.reset(); };
    if (options.runs("show")) {
        const BenchRunner::Medians m = runner.run(
            "show", [&] { viewer = showViewer(path); }, "delegate open",
            [&] {
                CDelegateVPK vpk;
                if (!vpk.open(path, true))
                    fail("open: " + vpk.lastError());
            },
            closeViewer);
        closeViewer();
        BenchRunner::figure("show", QStringLiteral("%1 ms to show %2 entries (goal <= 500 ms)")
                                        .arg(m.project, 0, 'f', 1)
                                        .arg(entries));
        if (memory) {
            BenchRunner::figure("show", QStringLiteral("peak %1, the delegate alone %2")
                                            .arg(BenchRunner::childPeak({"show", path}),
                                                 BenchRunner::childPeak({"open", path})));
        }
    }
    if (options.runs("search")) {
        viewer = showViewer(path);
        int rows = 0;
        const BenchRunner::Medians m = runner.run(
            "search", [&] { rows = search(*viewer); }, "walk and match",
            [&] { g_sink ^= quint32(walkAndMatch(viewer->delegate()->root())); });
        closeViewer();
        if (rows != entries)
            fail(QStringLiteral("the search listed %1 rows").arg(rows));
        BenchRunner::figure("search", QStringLiteral("%1 ms to list %2 matches (goal <= 300 ms)")
                                          .arg(m.project, 0, 'f', 1)
                                          .arg(rows));
        if (memory) {
            BenchRunner::figure("search", QStringLiteral("peak %1 (viewer, search and results)")
                                              .arg(BenchRunner::childPeak({"search", path})));
        }
    }
    return 0;
}
