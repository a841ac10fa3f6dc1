#include "Reference.h"

#include <sqlite3.h>

#include <stdexcept>

namespace orvane::bench {

Reference::Reference(const QString& path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_connection, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const std::string message = sqlite3_errmsg(m_connection);
        sqlite3_close(m_connection);
        throw std::runtime_error("cannot open " + path.toStdString() + ": " + message);
    }
}

Reference::~Reference()
{
    sqlite3_close(m_connection);
}

qint64 Reference::rows(const char* sql, const std::vector<QByteArray>& texts) const
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_connection, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("reference query failed: ") + sqlite3_errmsg(m_connection));
    for (size_t i = 0; i < texts.size(); ++i)
        sqlite3_bind_text(statement, int(i) + 1, texts[i].constData(), int(texts[i].size()), SQLITE_STATIC);
    qint64 count = 0;
    const int columns = sqlite3_column_count(statement);
    volatile size_t sink = 0; // keeps the reads from being optimised away
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int column = 0; column < columns; ++column) {
            const unsigned char* text = sqlite3_column_text(statement, column);
            sink = sink + size_t(sqlite3_column_bytes(statement, column)) + size_t(text != nullptr);
        }
        ++count;
    }
    sqlite3_finalize(statement);
    return count;
}

QByteArray Reference::rangeEnd(const QByteArray& prefix)
{
    // UTF-8 never holds 0xFF, so raising the last byte gives the first text past the prefix.
    QByteArray end = prefix;
    if (!end.isEmpty())
        end[end.size() - 1] = char(quint8(end.back()) + 1);
    return end;
}

} // namespace orvane::bench
