#pragma once

struct sqlite3;

// The SQL functions and the collation through which statements reach the pattern
// matcher and the Unicode order on a database without key columns (and, for the
// key matcher, on one with them).
namespace orvane::core::data::sql {

inline constexpr const char* LikeFunction = "orvane_like";        // (pattern, text): folds the text
inline constexpr const char* LikeKeyFunction = "orvane_like_key"; // (pattern, key): text is a searchKey()
inline constexpr const char* Collation = "orvane_unicode";

// Registers them on `connection`; false when the engine refused.
bool registerFunctions(sqlite3* connection);

} // namespace orvane::core::data::sql
