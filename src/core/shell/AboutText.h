#pragma once

#include "core/data/Database.h"

#include <QString>
#include <QUrl>
#include <optional>

namespace orvane::core::shell {

// The text of the About box: the `about` of the last row of tbl_config of `database`
// that has one. nullopt when there is no database or no such row, so
// the box keeps what it shows; a walk that fails part way keeps the last row it read.
std::optional<QString> loadAboutText(const data::DatabaseHandle& database);

// Where the About box's link leads: an absolute address (a packager's web page) as it
// is; a relative one is a page of the program folder.
QUrl aboutLink(const QString& address, const QString& programFolder);

} // namespace orvane::core::shell
