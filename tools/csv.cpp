#include "tools/csv.h"

#include "platform/error.h"

namespace {
constexpr qint64 kChunk = 1 << 20;
}

CsvReader::CsvReader(QIODevice &in) : m_in(in) {}

bool CsvReader::fill()
{
    if (m_pos < m_buffer.size())
        return true;
    m_buffer = m_in.read(kChunk);
    m_pos = 0;
    return !m_buffer.isEmpty();
}

int CsvReader::peek()
{
    return fill() ? static_cast<unsigned char>(m_buffer[m_pos]) : -1;
}

int CsvReader::get()
{
    return fill() ? static_cast<unsigned char>(m_buffer[m_pos++]) : -1;
}

bool CsvReader::next(std::vector<std::string> &fields)
{
    fields.clear();
    if (!m_started) {
        m_started = true;
        if (peek() == 0xEF) {
            // A byte-order mark says nothing in UTF-8; skip it.
            const QByteArray bom("\xEF\xBB\xBF");
            if (m_buffer.mid(m_pos, 3) == bom)
                m_pos += 3;
        }
    }
    if (peek() < 0)
        return false;
    m_recordLine = m_line;
    std::string field;
    for (;;) {
        int c = get();
        if (c == '"' && field.empty()) {
            // A quoted field runs to the next lone quote.
            for (;;) {
                c = get();
                if (c < 0)
                    throw Error(
                        QStringLiteral("line %1: a quoted field is not closed").arg(m_recordLine));
                if (c == '"') {
                    if (peek() != '"')
                        break;
                    get();
                } else if (c == '\n') {
                    ++m_line;
                }
                field.push_back(char(c));
            }
            c = get();
            if (c != ',' && c != '\n' && c != '\r' && c >= 0) {
                throw Error(QStringLiteral("line %1: text follows the closing quote of a field")
                                .arg(m_recordLine));
            }
        }
        if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
            continue;
        }
        if (c == '\r' && peek() == '\n')
            c = get();
        if (c == '\n' || c == '\r' || c < 0) {
            if (c >= 0)
                ++m_line;
            fields.push_back(std::move(field));
            return true;
        }
        field.push_back(char(c));
    }
}

void appendCsvField(std::string &line, const std::string &field)
{
    const bool quote = field.find_first_of(",\"\r\n") != std::string::npos ||
                       (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    if (!quote) {
        line += field;
        return;
    }
    line.push_back('"');
    for (char c : field) {
        if (c == '"')
            line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}
