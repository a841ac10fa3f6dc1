#pragma once

#include "core/data/DatabaseWriter.h"

#include <QString>

namespace orvane::mkdb {

// The settings row of tbl_config, from a small text file of `key = value` lines:
//   name = Greek–English         the program's name ("About " + name)
//   fnt1 = Noto Sans             font of the native-script box and the picker
//   fnt3 = …, fnt4 = …, fnt5 = … fonts of the Latin boxes, the list, the entry box
//   fsz1 … fsz5 = 12             font sizes in points
//   about-file = about.txt       the About text, read from this file (relative to the config)
// Lines starting with # are comments; empty lines are skipped. An unknown key, a key
// given twice or a size that is not a number is an error with file and line.
class ConfigFile
{
public:
    static core::data::DatabaseWriter::Config read(const QString& path);
};

} // namespace orvane::mkdb
