#pragma once

#include "core/data/Scan.h"

#include <QByteArrayView>
#include <optional>

// Listings that the builder stores in the file, so that the first search that looks at
// every row reads a few large blobs instead of walking and decrypting a whole index.
// Each is the rows of one ScanPlan::listing(), in the same order, split into parts:
//   tbl_listing_v2 (searched, listed, part, parts, rows), one row per part, in part order.
// A part's rows, back to back, each number a varint: the id (zigzag, less the id of the
// row before in the part), the listed text (0 for null, else the length of its rest + 1,
// how many code units begin it as they begin the text of the row before, then the rest),
// the key (how many code units of the listed text begin it, the length of the rest, then
// the rest). Rows in list order share much of their beginnings, which the file then holds
// once. Texts are UTF-16 code units in little-endian bytes, copied as they are. A file
// without stored listings, or with ones that cannot be read whole, is searched through
// its indexes instead.
namespace orvane::core::data {

class Connection;

namespace listing {

extern const char* const StoredDefinition; // the CREATE statement

// True when the file holds stored listings of this format.
bool hasStored(Connection& connection);
// The number of parts stored for `plan`; nullopt when there are none.
std::optional<int> storedParts(Connection& connection, const ScanPlan& plan);
// Appends the rows of parts [from, to) of `plan`'s stored listing to `rows`; false when
// they cannot all be read and understood.
bool readStored(Connection& connection, const ScanPlan& plan, int from, int to, ListedRows& rows);

// Writes the stored listing of every search of the three boxes on `connection`, a
// database being built whose key columns and indexes are written. False with the reason
// in *error.
bool writeStored(Connection& connection, QString* error);

} // namespace listing
} // namespace orvane::core::data
