#pragma once

#include <QByteArray>
#include <QIODevice>
#include <string>
#include <vector>

// Comma-separated values as exchanged with other programs: UTF-8 (a byte-order mark at the start
// is skipped), records ended by LF or CR LF, fields quoted with '"' when they hold a comma, a
// quote or a line break, quotes inside doubled.
class CsvReader
{
public:
    explicit CsvReader(QIODevice &in);

    // Reads the next record into `fields`; false at the end of the input. Throws Error when a
    // quoted field is not closed, naming the line where the record starts.
    bool next(std::vector<std::string> &fields);
    // The line on which the record last read starts, counting from 1.
    qint64 line() const { return m_recordLine; }

private:
    bool fill();
    int peek();
    int get();

    QIODevice &m_in;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_line = 1;
    qint64 m_recordLine = 0;
    bool m_started = false;
};

// Appends one field to a CSV line, quoting it when needed.
void appendCsvField(std::string &line, const std::string &field);
