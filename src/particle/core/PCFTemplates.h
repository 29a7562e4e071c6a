#pragma once

#include "PCFKeptList.h"

#include <QList>
#include <QString>
#include <QVector>

class CFilePCF;
class PCFParameterTable;

// The three particle template documents, one per format code 1 to 3, that the
// program carries as compiled-in resources and the configuration loads.
namespace PCFTemplates {

// ":/resources/data/particle_defaults_orangebox.pcf" and so on; null for
// other codes.
QString resourcePath(int format);
// The file name alone ("particle_defaults_l4d.pcf"); null for other codes.
QString fileName(int format);

// The parameter data file of a format ("format2.tsv"); null for other codes.
QString dataFileName(int format);
// Reads the parameter data of a format from the folder that holds the data
// files: its table, then the functions added to it ("format2-added.tsv"),
// format 3 also its candidate rows. False with the reason.
bool loadParameters(int format, const QString &folder, PCFParameterTable *parameters,
                    QString *error);

// The template document of a format: the system attributes from the template
// table, the function elements from the parameter data, with stable GUIDs, so
// that writing it always gives the same bytes. Null for codes other than 1 to
// 3. The caller owns it.
CFilePCF *build(int format, const PCFParameterTable &parameters);

// What real files of a format carry beyond its tables ("format2-kept.tsv"),
// and where the program carries that file; null for other codes.
QString keptFileName(int format);
QString keptResourcePath(int format);
// Makes the list {empty, entry 1, entry 2, entry 3}, each read from its
// resource; an entry that fails to read stays empty, its reason sent to the
// warning channel.
void reloadKept(QVector<PCFKeptList> &kept);

// Frees the documents of the list and makes it {null, entry 1, entry 2,
// entry 3}, each entry read from its resource with one particle reader, or
// null when that read failed.
void reload(QList<CFilePCF *> &templates);
// Frees the documents of the list and empties it.
void release(QList<CFilePCF *> &templates);

} // namespace PCFTemplates
