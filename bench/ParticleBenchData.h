#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <memory>

class CFilePCF;

// Inputs of the particle benchmark and its minimal baseline reader.
namespace ParticleBenchData {

using Document = std::unique_ptr<CFilePCF>;

// A third-generation document of about `elementCount` elements, shaped like
// a real file: systems with the template system's scalars, 27 functions
// each taken in turn from the template's lists (so that a conversion to the
// first generation drops some), one parameter no generation knows per
// function, and a child entry naming the previous system. GUIDs come from a
// generator seeded with `seed`, so that the same build of the benchmark
// makes the same bytes in every run.
Document generate(const CFilePCF *templates, int elementCount, quint32 seed = 1);

struct Counts
{
    qint64 strings = 0;
    qint64 elements = 0;
    qint64 attributes = 0;
};

// The least a reader must do: walk every record of a particle file once,
// building nothing. False when the bytes are not a file this walk knows.
bool walk(const QByteArray &bytes, Counts *counts);

} // namespace ParticleBenchData
