#include "data/SqlFunctions.h"

#include "data/PatternMatcher.h"
#include "data/UnicodeText.h"

#include <sqlcipher/sqlite3.h>

#include <memory>

namespace orvane::data::sql {
namespace {

QStringView textOf(sqlite3_value* value)
{
    const auto* units = static_cast<const char16_t*>(sqlite3_value_text16(value));
    return {units, sqlite3_value_bytes16(value) / 2};
}

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
        compiled = std::make_unique<PatternMatcher>(textOf(arguments[0]).toString());
        matcher = compiled.get();
    }
    const QStringView text = textOf(arguments[1]);
    const bool matched = subject == Subject::Key ? matcher->matchesKey(text) : matcher->matches(text);
    sqlite3_result_int(context, matched ? 1 : 0);
    // The engine may free the matcher inside this call, so it comes last.
    if (compiled) {
        sqlite3_set_auxdata(context, 0, compiled.release(),
                            [](void* owned) { delete static_cast<PatternMatcher*>(owned); });
    }
}

int compareCollation(void*, int leftBytes, const void* left, int rightBytes, const void* right)
{
    return unicode::compareCollated(QStringView(static_cast<const char16_t*>(left), leftBytes / 2),
                                    QStringView(static_cast<const char16_t*>(right), rightBytes / 2));
}

} // namespace

bool registerFunctions(sqlite3* connection)
{
    constexpr int flags = SQLITE_UTF16 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(connection, LikeFunction, 2, flags, nullptr, likeFunction<Subject::Text>, nullptr,
                                      nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(connection, LikeKeyFunction, 2, flags, nullptr, likeFunction<Subject::Key>,
                                      nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_collation_v2(connection, Collation, SQLITE_UTF16, nullptr, compareCollation, nullptr) ==
               SQLITE_OK;
}

} // namespace orvane::data::sql
