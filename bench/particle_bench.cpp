// Particle benchmarks: format conversion of generated files of growing size
// (goal: 24,000 elements in under 1 s, time growing linearly) and reading and
// writing a large generated particle file (goal: above 50 MB/s both ways).
//   particle_bench [--mb N] [--rounds N]
// Each figure is the median of several rounds, printed with a minimal
// baseline measured in the same run.
#include "CFilePCF.h"
#include "PCFDelegate.h"
#include "PCFTemplates.h"
#include "initResources.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace {

using Document = std::unique_ptr<CFilePCF>;

QTextStream out(stdout);

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
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

DMXAttribute *newList(const QString &name)
{
    auto *list = new DMXAttribute;
    list->name = name;
    list->setValue(ATTRIBUTE_ELEMENT_ARRAY, new DMXElementList);
    return list;
}

// A third-generation file of about `elementCount` elements, shaped like a
// real one: systems with the template's scalars, 27 functions each taken
// in turn from the template's lists (so that a conversion to the first
// generation drops some), one parameter no generation knows per function, and
// a child entry naming the previous system.
Document generate(const CFilePCF *templates, int elementCount)
{
    Document document(newDmxRoot(3));
    const DMXElement *model = templates->findParticleSystem(QStringLiteral("default"));
    QVector<QPair<int, const DMXElement *>> functions;
    for (int i = 0; i < model->attributes.size(); ++i) {
        if (const DMXElementList *list = model->attributes[i]->elementList()) {
            for (const DMXElement *function : *list)
                functions.append({i, function});
        }
    }
    DMXElement *previous = nullptr;
    int next = 0;
    for (int s = 0; document->elements.size() < elementCount; ++s) {
        auto *system = new DMXElement;
        system->type = model->type;
        system->name = QStringLiteral("system_%1").arg(s);
        for (const DMXAttribute *attribute : model->attributes) {
            if (attribute->type == ATTRIBUTE_ELEMENT_ARRAY)
                system->attributes.append(newList(attribute->name));
            else
                system->attributes.append(attribute->clone());
        }
        document->systemList()->append(system);
        document->elements.append(system);
        for (int k = 0; k < 27 && document->elements.size() < elementCount; ++k) {
            const auto &source = functions[next++ % functions.size()];
            DMXElement *copy = source.second->clone();
            copy->guid = QUuid::createUuid();
            auto *extra = new DMXAttribute;
            extra->name = QStringLiteral("hand-made parameter");
            extra->setValue(ATTRIBUTE_FLOAT, new float(1));
            copy->attributes.append(extra);
            system->attributes[source.first]->elementList()->append(copy);
            document->elements.append(copy);
        }
        if (previous && document->elements.size() < elementCount) {
            auto *entry = new DMXElement;
            entry->type = QStringLiteral("DmeParticleChild");
            entry->name = previous->name;
            entry->attributes.append(newDmxAttribute(ATTRIBUTE_ELEMENT, previous, "child"));
            auto *delay = new DMXAttribute;
            delay->name = QStringLiteral("delay");
            delay->setValue(ATTRIBUTE_FLOAT, new float(0.5f));
            entry->attributes.append(delay);
            system->attribute(QStringLiteral("children"))->elementList()->append(entry);
            document->elements.append(entry);
        }
        previous = system;
    }
    return document;
}

// The least any conversion does: look at every attribute of every element
// once.
int touchEverything(const CFilePCF *document)
{
    QHash<QString, int> names;
    for (const DMXElement *element : document->elements) {
        for (const DMXAttribute *attribute : element->attributes)
            ++names[attribute->name];
    }
    return names.size();
}

void conversion(const QList<CFilePCF *> &templates, int rounds)
{
    out << "Conversion of generated third-generation files (median of " << rounds << " rounds)\n";
    out << "  elements   to 1 (s)   to 3 (s)   us/element   baseline walk (s)\n";
    PCFDelegate delegate;
    for (int size : {6000, 12000, 24000, 48000}) {
        const Document source = generate(templates[3], size);
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
            seconds[target == 3] =
                median(rounds, load, [&] { delegate.convert(document.get(), target, model); });
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

void readWrite(const QList<CFilePCF *> &templates, int megabytes, int rounds)
{
    PCFDelegate delegate;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.pcf"));
    out << "Reading and writing a large generated file (median of " << rounds << " rounds)\n";
    out << "  encoding   MB      read MB/s   write MB/s   file read MB/s   file write MB/s   "
           "memcpy MB/s\n";
    // About 115 bytes per element in encoding 3: sized from a small sample.
    const Document sample = generate(templates[3], 6000);
    QByteArray sampleBytes;
    delegate.writeData(sample.get(), 3, &sampleBytes);
    const int elements = int(qint64(megabytes) * 1024 * 1024 * 6000 / sampleBytes.size());
    const Document large = generate(templates[3], elements);
    for (int encoding : {1, 3}) {
        QByteArray bytes;
        if (!delegate.writeData(large.get(), encoding, &bytes)) {
            out << "  cannot write: " << delegate.error() << "\n";
            return;
        }
        const double mb = double(bytes.size()) / (1024 * 1024);
        Document document;
        auto fresh = [&] { document.reset(new CFilePCF); };
        const double read =
            median(rounds, fresh, [&] { delegate.readData(bytes, document.get()); });
        QByteArray written;
        const double write = median(
            rounds, [&] { written.clear(); },
            [&] { delegate.writeData(large.get(), encoding, &written); });
        const double fileWrite = median(
            rounds, [] {}, [&] { delegate.write(path, large.get(), encoding); });
        const double fileRead = median(rounds, fresh, [&] { delegate.read(path, document.get()); });
        QByteArray copy(bytes.size(), Qt::Uninitialized);
        const double copying = median(
            rounds, [] {},
            [&] { std::memcpy(copy.data(), bytes.constData(), size_t(bytes.size())); });
        out << QStringLiteral("  %1   %2   %3   %4   %5   %6   %7\n")
                   .arg(encoding, 8)
                   .arg(mb, 6, 'f', 1)
                   .arg(mb / read, 9, 'f', 1)
                   .arg(mb / write, 10, 'f', 1)
                   .arg(mb / fileRead, 14, 'f', 1)
                   .arg(mb / fileWrite, 15, 'f', 1)
                   .arg(mb / copying, 11, 'f', 0);
        out.flush();
    }
    out << "  goal: above 50 MB/s both ways\n";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    initResources();
    int megabytes = 32;
    int rounds = 5;
    const QStringList arguments = application.arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == "--mb")
            megabytes = qMax(1, arguments[i + 1].toInt());
        else if (arguments[i] == "--rounds")
            rounds = qMax(1, arguments[i + 1].toInt());
    }
    QList<CFilePCF *> templates;
    PCFTemplates::reload(templates);
    if (templates.size() != 4 || !templates[1] || !templates[3]) {
        out << "the compiled-in particle templates do not read\n";
        return 1;
    }
    conversion(templates, rounds);
    readWrite(templates, megabytes, qMax(1, rounds / 2 + 1));
    PCFTemplates::release(templates);
    return 0;
}
