#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// The tab-separated parameter data files: a header line, then one row per
// line. Blank lines are skipped; a line may end in CR LF.
namespace PCFDataFile {

// Called per row with its columns and its place ("\"format1.tsv\" line 7")
// for messages; false (with the reason set) stops the walk.
using RowHandler = std::function<bool(const QStringList &columns, const QString &where)>;

// Checks that the header starts with `header` and hands each row to `row`.
// False with the reason in `error`.
bool forEachRow(const QByteArray &text, const QString &source, const QStringList &header,
                const RowHandler &row, QString *error);
// The whole file, or false with the reason in `error`.
bool readAll(const QString &path, QByteArray *text, QString *error);

} // namespace PCFDataFile
