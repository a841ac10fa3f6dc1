#include "core/data/SqlFunctions.h"

#include "core/data/PatternMatcher.h"
#include "core/data/UnicodeText.h"

#include <sqlite3.h>

#include <array>
#include <memory>
#include <vector>

namespace orvane::core::data::sql {
namespace {

// The engine stores UTF-8; decoding into a buffer on the stack spares it converting
// (and allocating) for every row of a scan.
class Utf16Text
{
public:
    explicit Utf16Text(sqlite3_value* value)
    {
        const auto* utf8 = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const auto size = std::size_t(sqlite3_value_bytes(value));
        char16_t* units = m_buffer.data();
        if (size > m_buffer.size()) {
            m_heap.resize(size);
            units = m_heap.data();
        }
        m_view = QStringView(units, unicode::decodeUtf8(QByteArrayView(utf8, qsizetype(size)), units));
    }
    QStringView view() const { return m_view; }

private:
    std::array<char16_t, 256> m_buffer;
    std::vector<char16_t> m_heap;
    QStringView m_view;
};

enum class Subject
{
    Text,
    Key
};

// like(pattern, subject): null when either is null, so a null column never matches.
template <Subject subject> void likeFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL || sqlite3_value_type(arguments[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // The pattern is the same for every row of a statement: compile it once and keep it
    // with the statement.
    std::unique_ptr<PatternMatcher> compiled;
    const auto* matcher = static_cast<const PatternMatcher*>(sqlite3_get_auxdata(context, 0));
    if (!matcher) {
        compiled = std::make_unique<PatternMatcher>(Utf16Text(arguments[0]).view().toString());
        matcher = compiled.get();
    }
    const Utf16Text text(arguments[1]);
    const bool matched = subject == Subject::Key ? matcher->matchesKey(text.view()) : matcher->matches(text.view());
    sqlite3_result_int(context, int(matched));
    // The engine may free the matcher inside this call, so it comes last.
    if (compiled) {
        sqlite3_set_auxdata(context, 0, compiled.release(),
                            [](void* owned) { delete static_cast<PatternMatcher*>(owned); });
    }
}

int compareCollation(void*, int leftBytes, const void* left, int rightBytes, const void* right)
{
    return unicode::compareCollatedUtf8(QByteArrayView(static_cast<const char*>(left), leftBytes),
                                        QByteArrayView(static_cast<const char*>(right), rightBytes));
}

} // namespace

bool registerFunctions(sqlite3* connection)
{
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(connection, LikeFunction, 2, flags, nullptr, likeFunction<Subject::Text>, nullptr,
                                      nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(connection, LikeKeyFunction, 2, flags, nullptr, likeFunction<Subject::Key>,
                                      nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_collation_v2(connection, Collation, SQLITE_UTF8, nullptr, compareCollation, nullptr) ==
               SQLITE_OK;
}

} // namespace orvane::core::data::sql
