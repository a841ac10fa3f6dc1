// Figure of the character picker: one activation (reconnect, read the whole glyph table
// into the store, show the first page, apply the grid font) on a table that fills every
// slot, beside plain SQLite opening the unencrypted copy and reading the same table.
#include "Bench.h"
#include "Reference.h"

#include "core/data/DatabaseWriter.h"
#include "core/dictionary/DictionarySession.h"
#include "ui/picker/CharacterPicker.h"

#include <QPushButton>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

using namespace orvane;

void writeGlyphTable(const QString& path, int rows, bool encrypted)
{
    core::data::DatabaseWriter::Options options;
    options.encrypted = encrypted;
    core::data::DatabaseWriter writer(path, options);
    bool written = writer.isOpen();
    for (int row = 0; row < rows && written; ++row)
        written = writer.addGlyph(row + 1, QString(QChar(0x4E00 + row)));
    if (!written || !writer.commit())
        throw std::runtime_error("cannot write the glyph table " + path.toStdString() + ": " +
                                 writer.error().toStdString());
}

} // namespace

ORVANE_BENCH_FIGURES(pickerFigures)
{
    const QTemporaryDir folder;
    if (!folder.isValid())
        throw std::runtime_error("no temporary folder for the picker figure");
    const int rows = core::picker::GlyphPages::StoreSlots;
    writeGlyphTable(folder.filePath(QStringLiteral("orvane.mdb")), rows, true);
    const QString referencePath = folder.filePath(QStringLiteral("reference.sqlite"));
    writeGlyphTable(referencePath, rows, false);

    core::dictionary::DictionarySession session(folder.filePath(QStringLiteral("orvane.mdb")));
    // A failed connection would stop the run at the picker's message box.
    if (!session.reconnect())
        throw std::runtime_error("cannot open the glyph table " + folder.path().toStdString());
    ui::picker::CharacterPicker picker(&session, nullptr);
    const double coreMs = bench::medianMs(context.repetitions(101), [&] { picker.onActivated(); });
    if (picker.pages().glyphStore().back().isEmpty() || !picker.nextPageButton()->isEnabled())
        throw std::runtime_error("the picker activation did not load the glyph table");

    const double referenceMs = bench::medianMs(context.repetitions(101), [&] {
        const bench::Reference reopened(referencePath);
        reopened.rows("SELECT * FROM tbl_glyph ORDER BY id");
    });
    bench::printFigure({QStringLiteral("picker_activation"), rows, rows, coreMs, referenceMs, 20.0});
}
