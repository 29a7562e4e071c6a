// Writes the three particle template documents into a folder:
//   make_particle_templates <folder>
// The output is the same on every run; the program carries the files as
// compiled-in resources.
#include "CFilePCF.h"
#include "PCFDelegate.h"
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
    if (arguments.size() != 2) {
        err << "usage: make_particle_templates <folder>\n";
        return 2;
    }
    const QDir folder(arguments[1]);
    PCFDelegate writer;
    for (int format = 1; format <= 3; ++format) {
        std::unique_ptr<CFilePCF> document(PCFTemplates::build(format));
        const QString path = folder.filePath(PCFTemplates::fileName(format));
        if (!writer.write(path, document.get(), format)) {
            err << path << ": " << writer.error() << "\n";
            return 1;
        }
    }
    return 0;
}
