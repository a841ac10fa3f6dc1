#include "core/shell/AboutText.h"

#include "core/data/Schema.h"

#include <QDir>

namespace orvane::core::shell {

std::optional<QString> loadAboutText(const data::DatabaseHandle& database)
{
    if (!database)
        return std::nullopt;
    std::optional<QString> text;
    data::RecordSet rows = database->exec(data::Statement::configAbout());
    while (rows.next()) {
        if (std::optional<QString> about = rows.value(data::DB_COLUMN_ABOUT))
            text = std::move(about);
    }
    return text;
}

QUrl aboutLink(const QString& address, const QString& programFolder)
{
    return QUrl::fromLocalFile(QDir(programFolder).absolutePath() + u'/').resolved(QUrl(address));
}

} // namespace orvane::core::shell
