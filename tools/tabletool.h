#pragma once

#include <QString>
#include <QTextStream>

class QIODevice;

// What vantorel-tables does; each function throws Error when it refuses its input, having
// changed nothing.
namespace tabletool {

// Creates the five empty table files in `dir`. Files that exist are named in the error and
// left as they are; the missing ones are still created.
void createTables(const QString &dir);

// Creates the five table files in `dir` filled with sample records.
void createSample(const QString &dir);

// Appends the records of a CSV file (header row of field names) to a table file, all or none.
// Returns the number of records added.
qint64 importCsv(const QString &tableFile, QIODevice &csv);

// Writes a table file as CSV with a header row of its field names.
void exportCsv(const QString &tableFile, QIODevice &out);

// One line per table file of `dir`: present, matching its declaration, intact. Returns whether
// all five are in order.
bool check(const QString &dir, QTextStream &out);

} // namespace tabletool
