// Particle benchmarks, each beside a minimal baseline measured in the same
// run:
//   convert  format conversion of generated files of growing size (goal:
//            24,000 elements in under 1 s, time growing linearly);
//   io       reading and writing a large generated file (goal: 50 MB/s or
//            more both ways, peak memory at most 3x the file), each measure
//            in a fresh process; the file written back must equal the file
//            read, and, with --reference, the files of an earlier build;
//   guids    the GUID uniqueness pass over N and 10 N elements (goal: at most
//            11 times the time).
//   particle_bench [convert] [io] [guids] [--mb 72] [--rounds 3]
//                  [--guid-elements 56300] [--dir D] [--reference D]
// --dir keeps the generated files in D; --reference compares them with the
// files an earlier run kept there.
#include "CFilePCF.h"
#include "CSaveFile.h"
#include "ChildMeasure.h"
#include "DMXGuids.h"
#include "PCFDelegate.h"
#include "PCFExchange.h"
#include "PCFTemplates.h"
#include "ParticleBenchData.h"
#include "initResources.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

using ParticleBenchData::Document;

QTextStream out(stdout);

struct Options
{
    int megabytes = 72;
    int rounds = 3;
    int guidElements = 56300;
    QString folder;
    QString reference;
    QStringList sections;
};

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Median seconds of `rounds` runs of `work`; `prepare` runs untimed before
// each.
double median(int rounds, const std::function<void()> &prepare, const std::function<void()> &work)
{
    QVector<double> seconds;
    for (int i = 0; i < rounds; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        seconds.append(double(timer.nsecsElapsed()) / 1e9);
    }
    return median(seconds);
}

double milliseconds(const std::function<bool()> &work, bool *ok)
{
    QElapsedTimer timer;
    timer.start();
    *ok = work();
    return double(timer.nsecsElapsed()) / 1e6;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString grouped(qint64 number)
{
    return QLocale::c().toString(number);
}

// The least any conversion does: look at every attribute of every element
// once.
int touchEverything(const CFilePCF *document)
{
    QHash<QString, int> names;
    for (const DMXElement *element : document->elements) {
        for (const DMXAttribute *attribute : element->attributes)
            ++names[attribute->name()];
    }
    return names.size();
}

void conversion(const QList<CFilePCF *> &templates, const QVector<PCFKeptList> &kept, int rounds)
{
    out << "Conversion of generated third-generation files (median of " << rounds << " rounds)\n";
    out << "  elements   to 1 (s)   to 3 (s)   us/element   baseline walk (s)\n";
    PCFDelegate delegate;
    for (int size : {6000, 12000, 24000, 48000}) {
        const Document source = ParticleBenchData::generate(templates[3], size);
        QByteArray bytes;
        if (!delegate.writeData(source.get(), 3, &bytes)) {
            out << "  cannot write the generated file: " << delegate.error() << "\n";
            return;
        }
        Document document;
        auto load = [&] {
            document.reset(new CFilePCF);
            delegate.readData(bytes, document.get());
        };
        double seconds[2] = {0, 0};
        for (int target : {1, 3}) {
            const DMXElement *model = templates[target]->findParticleSystem("default");
            seconds[target == 3] = median(rounds, load, [&] {
                delegate.convert(document.get(), target, model, nullptr, &kept[target]);
            });
        }
        int sink = 0;
        const double walk = median(rounds, load, [&] { sink += touchEverything(document.get()); });
        out << QStringLiteral("  %1   %2   %3   %4   %5\n")
                   .arg(size, 8)
                   .arg(seconds[0], 8, 'f', 3)
                   .arg(seconds[1], 8, 'f', 3)
                   .arg(seconds[0] / size * 1e6, 10, 'f', 2)
                   .arg(walk, 12, 'f', 4);
        out.flush();
    }
    out << "  goal: 24,000 elements converted in under 1 s\n";
}

// Medians of the times and the largest peak over the rounds of one child
// measure.
struct Figures
{
    bool ok = true;
    double ms = 0;
    double peakMB = 0;
};

Figures measure(int rounds, const QStringList &arguments)
{
    Figures figures;
    QVector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const ChildMeasure::Result result = ChildMeasure::run(arguments);
        figures.ok = figures.ok && result.ok;
        times.append(result.ms);
        figures.peakMB = qMax(figures.peakMB, result.peakMB);
    }
    figures.ms = median(times);
    return figures;
}

void printPair(const char *what, double mb, const Figures &ours, const char *baselineName,
               const Figures &theirs)
{
    auto rate = [mb](const Figures &f) { return f.ms > 0 ? mb / (f.ms / 1000) : 0; };
    out << QStringLiteral("    %1 project %2 ms %3 MB/s peak %4 MB (%5x file)%6 | %7 %8 ms %9 "
                          "MB/s peak %10 MB | ratio %11\n")
               .arg(QLatin1String(what), -5)
               .arg(ours.ms, 8, 'f', 1)
               .arg(rate(ours), 6, 'f', 1)
               .arg(ours.peakMB, 6, 'f', 1)
               .arg(ours.peakMB / mb, 0, 'f', 2)
               .arg(ours.ok ? QString() : QStringLiteral(" FAILED"))
               .arg(QLatin1String(baselineName))
               .arg(theirs.ms, 7, 'f', 1)
               .arg(rate(theirs), 6, 'f', 1)
               .arg(theirs.peakMB, 6, 'f', 1)
               .arg(theirs.ms > 0 ? ours.ms / theirs.ms : 0, 0, 'f', 2);
    out.flush();
}

void readWrite(const QList<CFilePCF *> &templates, const Options &options)
{
    QTemporaryDir temporary;
    const QString folder = options.folder.isEmpty() ? temporary.path() : options.folder;
    QDir().mkpath(folder);
    PCFDelegate delegate;
    // About 128 bytes per element in encoding 3: sized from a small sample.
    QByteArray sampleBytes;
    delegate.writeData(ParticleBenchData::generate(templates[3], 6000).get(), 3, &sampleBytes);
    const int elements =
        int(qint64(options.megabytes) * 1024 * 1024 * 6000 / qMax(1, sampleBytes.size()));
    QStringList inputs;
    {
        const Document large = ParticleBenchData::generate(templates[3], elements);
        for (int encoding : {1, 3}) {
            QByteArray bytes;
            const QString path = QStringLiteral("%1/large-%2.pcf").arg(folder).arg(encoding);
            if (!delegate.writeData(large.get(), encoding, &bytes) ||
                !CSaveFile::writeAll(path, bytes)) {
                out << "  cannot write the generated file " << path << "\n";
                return;
            }
            inputs << path;
        }
    }
    out << "Reading and writing a large generated file (each measure in a fresh process; median of "
        << options.rounds << " rounds, largest peak)\n";
    for (const QString &input : inputs) {
        const QByteArray bytes = fileBytes(input);
        const double mb = double(bytes.size()) / (1024 * 1024);
        ParticleBenchData::Counts counts;
        ParticleBenchData::walk(bytes, &counts);
        out << QStringLiteral("  %1: %2 MB, %3 elements, %4 attributes, SHA-1 %5\n")
                   .arg(QFileInfo(input).fileName())
                   .arg(mb, 0, 'f', 1)
                   .arg(grouped(counts.elements))
                   .arg(grouped(counts.attributes))
                   .arg(QString::fromLatin1(
                       QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()));
        const QString written = input + QStringLiteral(".written");
        const QString copied = input + QStringLiteral(".copied");
        const int rounds = options.rounds;
        printPair("read", mb, measure(rounds, {"--child", "read", input}), "walk baseline",
                  measure(rounds, {"--child", "walk", input}));
        printPair("write", mb, measure(rounds, {"--child", "write", input, written}),
                  "save-bytes baseline", measure(rounds, {"--child", "copy", input, copied}));
        const bool roundTrip = fileBytes(written) == bytes;
        out << "    the file written back is " << (roundTrip ? "identical to" : "DIFFERENT from")
            << " the file read";
        if (!options.reference.isEmpty()) {
            const QString other = QDir(options.reference).filePath(QFileInfo(input).fileName());
            out << "; the generated file is "
                << (fileBytes(other) == bytes ? "identical to " : "DIFFERENT from ") << other;
        }
        out << "\n";
        QFile::remove(written);
        QFile::remove(copied);
        out.flush();
    }
    out << "  goal: 50 MB/s or more both ways, peak at most 3x the file size\n";
}

Figures guidFigures(int elements, int rounds, double *baselineMs)
{
    const ChildMeasure::Result result =
        ChildMeasure::run({"--child", "guids", QString::number(elements), QString::number(rounds)});
    *baselineMs = result.otherMs;
    return {result.ok, result.ms, result.peakMB};
}

void guids(const Options &options)
{
    const int small = options.guidElements;
    out << "GUID uniqueness pass over generated documents, 1% repeated and 0.1% null GUIDs "
           "(median of "
        << options.rounds << " rounds, in a fresh process per size)\n";
    double baseline[2] = {0, 0};
    const Figures one = guidFigures(small, options.rounds, &baseline[0]);
    const Figures ten = guidFigures(small * 10, options.rounds, &baseline[1]);
    out << QStringLiteral("  %1 elements: %2 ms | %3 elements: %4 ms | ratio %5%6\n")
               .arg(grouped(small))
               .arg(one.ms, 0, 'f', 2)
               .arg(grouped(qint64(small) * 10))
               .arg(ten.ms, 0, 'f', 2)
               .arg(one.ms > 0 ? ten.ms / one.ms : 0, 0, 'f', 2)
               .arg(one.ok && ten.ok ? QString() : QStringLiteral(" FAILED"));
    out << QStringLiteral("  baseline (read every GUID once): %1 ms | %2 ms | ratio %3\n")
               .arg(baseline[0], 0, 'f', 2)
               .arg(baseline[1], 0, 'f', 2)
               .arg(baseline[0] > 0 ? baseline[1] / baseline[0] : 0, 0, 'f', 2);
    out << "  goal: 10x the elements in at most 11x the time\n";
}

// The child side of the measures: does one thing and prints its answer.
int child(const QStringList &arguments, const QList<CFilePCF *> &templates)
{
    const QString what = arguments.value(0);
    const QString input = arguments.value(1);
    const QString output = arguments.value(2);
    PCFDelegate delegate;
    CFilePCF document;
    bool ok = false;
    if (what == "read") {
        const double ms = milliseconds([&] { return delegate.read(input, &document); }, &ok);
        ChildMeasure::answer(ok, ms);
    } else if (what == "walk") {
        const double ms = milliseconds(
            [&] {
                ParticleBenchData::Counts counts;
                return ParticleBenchData::walk(fileBytes(input), &counts);
            },
            &ok);
        ChildMeasure::answer(ok, ms);
    } else if (what == "write") {
        if (!delegate.read(input, &document))
            return 1;
        const double ms =
            milliseconds([&] { return delegate.write(output, &document, document.format); }, &ok);
        ChildMeasure::answer(ok, ms);
    } else if (what == "copy") {
        const QByteArray bytes = fileBytes(input);
        const double ms = milliseconds([&] { return CSaveFile::writeAll(output, bytes); }, &ok);
        ChildMeasure::answer(ok, ms);
    } else if (what == "guids") {
        const Document generated = ParticleBenchData::generate(templates[3], input.toInt());
        QList<DMXElement *> &elements = generated->elements;
        // Every hundredth element repeats an earlier GUID; every thousandth is
        // null.
        for (int i = 0; i < elements.size(); ++i) {
            if (i % 100 == 50)
                elements[i]->guid = elements[i / 2]->guid;
            else if (i % 1000 == 999)
                elements[i]->guid = QUuid();
        }
        QVector<QUuid> start;
        start.reserve(elements.size());
        for (const DMXElement *element : qAsConst(elements))
            start.append(element->guid);
        auto restore = [&] {
            for (int i = 0; i < elements.size(); ++i)
                elements[i]->guid = start[i];
        };
        const int rounds = qMax(1, output.toInt());
        const double pass =
            median(rounds, restore, [&] { PCFExchange::ensureUniqueGuids(generated.get()); });
        QSet<QUuid> distinct;
        for (const DMXElement *element : qAsConst(elements))
            distinct.insert(element->guid);
        ok = distinct.size() == elements.size() && !distinct.contains(QUuid());
        uint sink = 0;
        const double walk = median(rounds, restore, [&] {
            for (const DMXElement *element : qAsConst(elements))
                sink ^= element->guid.data1 ^ element->guid.data4[7];
        });
        ChildMeasure::answer(ok && sink != 1, pass * 1000, walk * 1000);
    } else {
        return 1;
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    initResources();
    Options options;
    const QStringList arguments = application.arguments();
    QList<CFilePCF *> templates;
    PCFTemplates::reload(templates);
    if (templates.size() != 4 || !templates[1] || !templates[3]) {
        out << "the compiled-in particle templates do not read\n";
        return 1;
    }
    if (arguments.value(1) == "--child") {
        const int status = child(arguments.mid(2), templates);
        PCFTemplates::release(templates);
        return status;
    }
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const QString value = arguments.value(i + 1);
        if (!argument.startsWith("--")) {
            options.sections << argument;
            continue;
        }
        ++i;
        if (argument == "--mb")
            options.megabytes = qMax(1, value.toInt());
        else if (argument == "--rounds")
            options.rounds = qMax(1, value.toInt());
        else if (argument == "--guid-elements")
            options.guidElements = qMax(100, value.toInt());
        else if (argument == "--dir")
            options.folder = value;
        else if (argument == "--reference")
            options.reference = value;
    }
    if (options.sections.isEmpty())
        options.sections = QStringList{"convert", "io", "guids"};
    if (options.sections.contains("convert")) {
        QVector<PCFKeptList> kept;
        PCFTemplates::reloadKept(kept);
        conversion(templates, kept, options.rounds);
    }
    if (options.sections.contains("io"))
        readWrite(templates, options);
    if (options.sections.contains("guids"))
        guids(options);
    PCFTemplates::release(templates);
    return 0;
}
