#pragma once

#include <QString>

namespace orvane::core::dictionary {

// The display settings from tbl_config, shared by the dictionary window (all five
// controls), the character picker (font1) and the About box (font5, configName).
// Every field is empty (sizes 0) until the first successful load; it outlives windows.
struct DisplayConfig
{
    QString configName;
    QString font1, font2, font3, font4, font5; // font2 and font3 both come from fnt3
    double size1 = 0, size2 = 0, size3 = 0, size4 = 0, size5 = 0;
};

// The one shared record.
DisplayConfig& SharedDisplayConfig();

// Fills SharedDisplayConfig() from the first row of "select * from tbl_config where
// name <> ''" on the shared database, in the order name, fnt1, fnt3, fnt3, fnt4, fnt5,
// fsz1..fsz5. Leaves at the first error (no database, no row, a missing column, a size
// that is not a number): the fields read before it keep their new values.
// A null text reads as empty; a null size as 0 (not set).
void loadDisplayConfig();

} // namespace orvane::core::dictionary
