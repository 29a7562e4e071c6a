#pragma once

#include <QStringList>
#include <QVector>

// The entry counts of the pakfile status report.
namespace PakfileStatistics {

// Row labels in display order: each a type name of fileTypeName followed by
// ":", the last "Other:". The first FirstColumnRows stand in the left column.
const QStringList &labels();
constexpr int FirstColumnRows = 10;

// One count per label: a type name adds one to the label it equals without
// the colon, every other name (unknown types, "Cache", "Navigation Mesh",
// "Nodegraph", "Other") to "Other:".
QVector<int> count(const QStringList &typeNames);

} // namespace PakfileStatistics
