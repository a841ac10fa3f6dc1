#include "core/dictionary/DisplayConfig.h"

#include "core/data/Schema.h"

namespace orvane::core::dictionary {
namespace {

using data::RecordSet;

// Each reader returns false at the error that makes the loader leave.
bool readText(const RecordSet& row, const QString& column, QString& field)
{
    if (row.indexOf(column) < 0)
        return false;
    field = row.value(column).value_or(QString());
    return true;
}

bool readSize(const RecordSet& row, const QString& column, double& field)
{
    if (row.indexOf(column) < 0)
        return false;
    const std::optional<QString> text = row.value(column);
    if (!text) {
        field = 0; // not set: the control keeps its size
        return true;
    }
    bool isNumber = false;
    const double size = text->toDouble(&isNumber);
    if (!isNumber)
        return false;
    field = size;
    return true;
}

} // namespace

void loadDisplayConfig(const data::DatabaseHandle& database, DisplayConfig& config)
{
    if (!database)
        return;
    RecordSet row = database->exec(data::Statement::configSettings());
    if (!row.next())
        return;
    // The order matters: fields before a failing column keep their new values.
    using namespace data;
    readText(row, DB_COLUMN_NAME, config.configName) && readText(row, DB_COLUMN_FNT1, config.font1) &&
        readText(row, DB_COLUMN_FNT3, config.font2) && readText(row, DB_COLUMN_FNT3, config.font3) &&
        readText(row, DB_COLUMN_FNT4, config.font4) && readText(row, DB_COLUMN_FNT5, config.font5) &&
        readSize(row, DB_COLUMN_FSZ1, config.size1) && readSize(row, DB_COLUMN_FSZ2, config.size2) &&
        readSize(row, DB_COLUMN_FSZ3, config.size3) && readSize(row, DB_COLUMN_FSZ4, config.size4) &&
        readSize(row, DB_COLUMN_FSZ5, config.size5);
}

} // namespace orvane::core::dictionary
