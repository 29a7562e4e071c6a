// Writes the three particle template documents from the parameter data:
//   make_particle_templates <data folder> <output folder>
// e.g. make_particle_templates src/resources/data/particle-parameters
// src/resources/data. The output is the same on every run; the program
// carries the files as compiled-in resources.
#include "CFilePCF.h"
#include "PCFDelegate.h"
#include "PCFParameterTable.h"
#include "PCFTemplates.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <memory>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        err << "usage: make_particle_templates <data folder> <output folder>\n";
        return 2;
    }
    const QDir folder(arguments[2]);
    PCFDelegate writer;
    for (int format = 1; format <= 3; ++format) {
        PCFParameterTable parameters;
        QString error;
        if (!PCFTemplates::loadParameters(format, arguments[1], &parameters, &error)) {
            err << error << "\n";
            return 1;
        }
        std::unique_ptr<CFilePCF> document(PCFTemplates::build(format, parameters));
        const QString path = folder.filePath(PCFTemplates::fileName(format));
        if (!writer.write(path, document.get(), format)) {
            err << path << ": " << writer.error() << "\n";
            return 1;
        }
        err << path << ": " << document->elements.size() << " elements, " << parameters.rowCount()
            << " function attributes\n";
    }
    return 0;
}
