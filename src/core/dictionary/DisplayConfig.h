#pragma once

#include "core/data/Database.h"

#include <QString>

namespace orvane::core::dictionary {

// The display settings from tbl_config: the fonts of the dictionary window's five text
// controls, of the character picker's grid (font1) and of the About box's text (font5),
// and the name in the About box's caption. Empty (sizes 0) until loaded.
struct DisplayConfig
{
    QString configName;
    QString font1, font2, font3, font4, font5; // font2 and font3 both come from fnt3
    double size1 = 0, size2 = 0, size3 = 0, size4 = 0, size5 = 0;

    bool operator==(const DisplayConfig&) const = default;
};

// Fills `config` from the first row of "select * from tbl_config where name <> ''" on
// `database`, in the order name, fnt1, fnt3, fnt3, fnt4, fnt5, fsz1..fsz5. Leaves at the
// first error (no database, no row, a missing column, a size that is not a number): the
// fields read before it keep their new values, the others their old ones.
// A null text reads as empty; a null size as 0 (not set).
void loadDisplayConfig(const data::DatabaseHandle& database, DisplayConfig& config);

} // namespace orvane::core::dictionary
