// The key-input chain of the transliteration box: typing, pasting and deleting with a
// keyboard table that holds ordinary rows, rows with spaces and quotes, and rows that
// lead back to a known sequence. Input: a list of (operation byte, text) pairs.
#include "FuzzInput.h"
#include "core/data/Database.h"
#include "core/data/DatabaseWriter.h"
#include "core/dictionary/KeyInput.h"

#include <QTemporaryDir>
#include <algorithm>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

constexpr int LongestDisplay = 3;

QTemporaryDir* folder = nullptr;
core::data::DatabaseHandle database;

void buildKeyboard(const QString& path)
{
    core::data::DatabaseWriter writer(path, {});
    const std::pair<QString, QString> rows[] = {
        {u"a'"_s, u"á"_s},   {u"A'"_s, u"Á"_s}, {u"e-"_s, u"ē"_s},  {u"ē'"_s, u"ḗ"_s},  {u"o"_s, u"ō"_s},
        {u"''"_s, u"’"_s},   {u""_s, u"·"_s},   {u"ab"_s, u"ab"_s}, {u"pq"_s, u"qp"_s}, {u"qp"_s, u"pq"_s},
        {u"gg"_s, u"ggg"_s}, {u"x%"_s, u"_"_s}, {u"\"x"_s, u"ξ"_s}, {u"nn"_s, u""_s},
    };
    for (const auto& [input, display] : rows)
        writer.addKey(input, display);
    writer.addKey(u"zz"_s, std::nullopt);
    if (!writer.commit()) {
        std::fprintf(stderr, "fixture: %s\n", qPrintable(writer.error()));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    folder = new QTemporaryDir;
    buildKeyboard(folder->filePath(u"orvane.mdb"_s));
    database = core::data::Database::open(folder->filePath(u"orvane.mdb"_s), QString::fromLatin1(core::data::DatabasePassword));
    if (!database)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    core::dictionary::KeyInput keys;
    QString box;
    // One change of the box, then the chain of replacements it sets off.
    auto change = [&](const QString& text) {
        const QString result = keys.applyKeys(database, text);
        const int max = core::dictionary::KeyInput::MaxChainedReplacements;
        // Replacements only ever touch the end of the text...
        FUZZ_CHECK(result.startsWith(text.left(std::max<qsizetype>(0, text.size() - 2 - max))));
        // ...and a bounded chain grows it by a bounded amount.
        FUZZ_CHECK(result.size() <= text.size() + qsizetype(max) * LongestDisplay);
        // A text shorter than two characters is never looked up.
        if (text.size() < 2)
            FUZZ_CHECK(result == text);
        box = result;
    };

    for (int steps = 0; !input.empty() && steps < 64; ++steps) {
        const std::uint8_t operation = input.byte();
        const QString text = input.text();
        switch (operation % 4) {
        case 0: // typed one character at a time
            for (QChar c : text)
                change(box + c);
            break;
        case 1: // pasted at once
            change(box + text);
            break;
        case 2: // backspace
            if (!box.isEmpty())
                change(box.chopped(1));
            break;
        default: // cleared (double click, placeholder)
            change(QString());
            break;
        }
    }
    return 0;
}
