// A dictionary file from anyone: mutated database images opened through the program's
// own open path and read with the program's statements and listings, and its meanings
// searched (through the meaning index when the image holds one). Nothing may crash,
// hang or leak; a damaged file may only fail to open or end a walk with an error.
// Input: one selector byte, then the file. An odd selector writes the file to disk and
// opens it keyed with the program's password, as orvane.mdb is; an even one opens it as
// a plain image in memory, so that mutations reach the engine's pages undecrypted.
// libFuzzer options: -max_len=65536
#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "core/data/Connection.h"
#include "core/data/Database.h"

#include <QString>

using namespace orvane::core::data;
using namespace Qt::StringLiterals;

namespace {

// Reads every row the program could read, bounded so that a large valid file stays quick.
void walk(Database& database, const Statement& statement)
{
    RecordSet rows = database.exec(statement);
    FUZZ_CHECK(rows.isActive() || !rows.errorString().isEmpty());
    for (int row = 0; row < 2000 && rows.next(); ++row) {
        for (const char* column : {"id", "m1", "m2", "m3", "meanings", "input", "display", "glyph", "name", "about"})
            (void)rows.valueView(QString::fromLatin1(column));
        (void)rows.valueInt64(u"id"_s);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // No statement on a small image needs more; the bound must end every one of an
    // input's statements well within libFuzzer's time for an input.
    setStatementTimeLimit(std::chrono::milliseconds(500));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t selector = input.byte();
    const QByteArray image(reinterpret_cast<const char*>(data) + std::min<std::size_t>(size, 1),
                           qsizetype(size > 0 ? size - 1 : 0));
    DatabaseHandle database;
    QString path;
    if (selector & 1) {
        path = fuzzFile(u"orvane.mdb"_s, image);
        database = Database::open(path, QString::fromLatin1(DatabasePassword));
    } else {
        database = Database::fromImage(image);
    }
    if (database) {
        // Prefix searches (index ranges), searches that read a listing, and the rest.
        const QString values[] = {QString(), u"ps"_s, u"*a"_s, u"[!α]*"_s};
        const QString& value = values[(selector >> 1) % 4];
        for (const Statement& statement :
             {Statement::configSettings(), Statement::configAbout(), Statement::keyboardByInput(u"a'"_s),
              Statement::dictionaryByScript(value), Statement::dictionaryByTranslit(value),
              Statement::dictionaryByPlain(value), Statement::dictionaryById(selector >> 3),
              Statement::glyphsInOrder()})
            walk(*database, statement);
        // A word, a prefix and a phrase.
        const meaning::Query query{{{u"a"_s}, false}, {{u"s"_s}, true}, {{u"the"_s, u"soul"_s}, false}};
        const MeaningHits hits = database->searchMeanings(query, 10);
        FUZZ_CHECK(qint64(hits.ids.size()) <= std::min<qint64>(hits.total, 10));
    }
    database.reset();
    if (!path.isEmpty())
        removeFuzzFile(path);
    return 0;
}
