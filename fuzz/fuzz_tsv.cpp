// The builder's text readers: TSV rows with their escapes, the entry TSV and the
// config file. Bad input ends in an InputError naming file and line.
// Input: selector byte, then the file.
#include "ConfigFile.h"
#include "EntryTsvReader.h"
#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "InputError.h"
#include "TsvReader.h"

using namespace orvane::mkdb;
using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const int selector = data[0] % 6;
    try {
        if (selector < 4) {
            const int columns = selector + 1;
            for (const auto& row : TsvReader::read(fuzzFile(u"rows.tsv"_s, bytes), columns)) {
                FUZZ_CHECK(row.fields.size() == columns);
                FUZZ_CHECK(row.line >= 1);
            }
        } else if (selector == 4) {
            for (const auto& entry : EntryTsvReader::read(fuzzFile(u"entries.tsv"_s, bytes)))
                FUZZ_CHECK(!entry.m1.isEmpty());
        } else {
            fuzzFile(u"about.txt"_s, "About text\n");
            (void)ConfigFile::read(fuzzFile(u"orvane.conf"_s, bytes));
        }
    } catch (const InputError& error) {
        FUZZ_CHECK(!error.file().isEmpty() && !error.message().isEmpty());
        FUZZ_CHECK(error.line() >= 0);
    }
    return 0;
}
