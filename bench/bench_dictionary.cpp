// Figures of the dictionary window: every hit into the result list, one composed entry,
// one keystroke's key look-up, the window's activation, and the memory that a list of
// every entry holds, and then searches in every box and in the meanings.
#include "Bench.h"
#include "Reference.h"

#include "core/dictionary/DictionarySession.h"
#include "core/dictionary/EntryComposer.h"
#include "core/dictionary/KeyInput.h"
#include "core/dictionary/MeaningSearch.h"
#include "core/dictionary/ResultListModel.h"
#include "core/dictionary/Search.h"
#include "ui/dictionary/DictionaryWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <malloc.h>
#include <stdexcept>

namespace {

using namespace orvane;
using bench::Dataset;

constexpr qint64 Million = 1000000;

// Resident memory of this process in MB, from the kernel's own account. Freed heap is
// handed back first, so that what earlier figures built and dropped does not count.
double residentMb()
{
    malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

void connect(core::dictionary::DictionarySession& session)
{
    if (!session.reconnect())
        throw std::runtime_error("cannot connect to " + session.databasePath().toStdString());
}

} // namespace

ORVANE_BENCH_FIGURES(dictionaryFigures)
{
    for (const Dataset& dataset : context.datasets) {
        core::dictionary::DictionarySession session(dataset.databasePath);
        connect(session);
        const bench::Reference reference(dataset.referencePath);
        const bool million = dataset.entries >= Million;

        // The empty native-script search: every entry, statement to the last row in the model.
        {
            core::dictionary::ResultListModel model;
            qint64 rows = 0;
            const double ms = bench::medianMs(context.repetitions(million ? 7 : 31), [&] {
                model.setRows(
                    core::dictionary::runSearch(session.database(), core::dictionary::ScriptSearch, QString()));
                rows = model.rowCount();
            });
            const double referenceMs = bench::medianMs(context.repetitions(million ? 7 : 31), [&] {
                reference.rows("SELECT id, m1 FROM tbl_dictionary WHERE m1 IS NOT NULL ORDER BY s1");
            });
            bench::printFigure(
                {QStringLiteral("list_model_all"), dataset.entries, rows, ms, referenceMs, million ? 600.0 : 40.0});
        }

        // One entry composed as the entry box shows it, ids spread over the whole table.
        {
            qint64 next = 0;
            auto nextId = [&] { return (next = (next * 7919 + 104729) % dataset.entries) + 1; };
            qint64 composed = 0;
            const double ms = bench::medianMs(context.repetitions(1001), [&] {
                composed +=
                    core::dictionary::composeEntry(session.database(), nextId(), core::dictionary::SearchMode::Latin)
                            .isEmpty()
                        ? 0
                        : 1;
            });
            next = 0;
            const double referenceMs = bench::medianMs(context.repetitions(1001), [&] {
                reference.rows("SELECT m1, meanings FROM tbl_dictionary WHERE id = ?1", {QByteArray::number(nextId())});
            });
            if (composed == 0)
                throw std::runtime_error("no entry could be composed");
            bench::printFigure({QStringLiteral("compose_entry"), dataset.entries, 1, ms, referenceMs, 0.1});
        }

        // One keystroke in the transliteration box: the look-up of its last two characters.
        {
            core::dictionary::KeyInput keys;
            keys.keyInput = QStringLiteral("e-");
            const double ms = bench::medianMs(context.repetitions(1001), [&] { keys.lookUpKey(session.database()); });
            const double referenceMs = bench::medianMs(context.repetitions(1001), [&] {
                reference.rows("SELECT display FROM tbl_keyboard WHERE input = ?1", {QByteArrayLiteral("e-")});
            });
            bench::printFigure({QStringLiteral("key_input_lookup"), dataset.entries, keys.keyDisplay.isEmpty() ? 0 : 1,
                                ms, referenceMs, 0.1});
        }

        // The window's activation: reconnect, load the settings, apply the fonts.
        {
            ui::dictionary::DictionaryWindow window(&session);
            const double ms = bench::medianMs(context.repetitions(201), [&] { window.onActivated(); });
            const double referenceMs = bench::medianMs(context.repetitions(201), [&] {
                const bench::Reference reopened(dataset.referencePath);
                reopened.rows("SELECT * FROM tbl_config WHERE name <> ''");
            });
            bench::printFigure({QStringLiteral("window_activation"), dataset.entries, 1, ms, referenceMs, 5.0});
        }

        // Every entry listed through the window: the "OK" beside an empty native-script box,
        // until the list is laid out; then the memory that the listed window holds.
        {
            const double before = residentMb();
            auto* window = new ui::dictionary::DictionaryWindow(&session);
            auto* list = window->findChild<QAbstractItemView*>(QStringLiteral("resultList"));
            const double ms = bench::medianMs(context.repetitions(million ? 5 : 21), [&] {
                window->findChild<QLineEdit*>(QStringLiteral("scriptBox"))->clear();
                QGuiApplication::clipboard()->clear();
                window->findChild<QPushButton*>(QStringLiteral("scriptSearchButton"))->click();
                list->doItemsLayout();
            });
            bench::printFigure(
                {QStringLiteral("window_list_all"), dataset.entries, list->model()->rowCount(), ms, {}, {}});
            const qint64 rows = list->model()->rowCount();
            const double after = residentMb();
            std::printf("{\"op\":\"memory_all_listed\",\"entries\":%lld,\"rows\":%lld,\"rss_mb\":%.1f,"
                        "\"rss_before_mb\":%.1f,\"target_mb\":%s}\n",
                        static_cast<long long>(dataset.entries), static_cast<long long>(rows), after, before,
                        million ? "250" : "null");
            // Then a search that starts with a wildcard in each of the other two boxes and
            // one in the meanings: the memory of a session that has used them all.
            for (const core::dictionary::SearchKind* kind :
                 {&core::dictionary::TranslitSearch, &core::dictionary::PlainSearch})
                core::dictionary::runSearch(session.database(), *kind, QStringLiteral("*a"));
            core::dictionary::searchMeanings(session.database(), u"self");
            std::printf("{\"op\":\"memory_all_searched\",\"entries\":%lld,\"rss_mb\":%.1f,\"target_mb\":%s}\n",
                        static_cast<long long>(dataset.entries), residentMb(), million ? "200" : "60");
            std::fflush(stdout);
            delete window;
        }
    }
}
