#pragma once

#include <QList>
#include <QString>

class CFilePCF;

// The three particle template documents, one per format code 1 to 3, that the
// program carries as compiled-in resources and the configuration loads.
namespace PCFTemplates {

// ":/resources/data/particle_defaults_orangebox.pcf" and so on; null for
// other codes.
QString resourcePath(int format);
// The file name alone ("particle_defaults_l4d.pcf"); null for other codes.
QString fileName(int format);

// The template document of a format built from the table in memory, with
// stable GUIDs, so that writing it always gives the same bytes. Null for
// codes other than 1 to 3. The caller owns it.
CFilePCF *build(int format);

// Frees the documents of the list and makes it {null, entry 1, entry 2,
// entry 3}, each entry read from its resource with one particle reader, or
// null when that read failed.
void reload(QList<CFilePCF *> &templates);
// Frees the documents of the list and empties it.
void release(QList<CFilePCF *> &templates);

} // namespace PCFTemplates
