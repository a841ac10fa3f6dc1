// The rules under the picker and the shell's windows: glyph pages, the About text, the activation rule.
#include "FixtureDatabase.h"
#include "core/picker/GlyphPages.h"
#include "core/shell/AboutText.h"
#include "core/shell/ActivationRule.h"

#include <QTest>
#include <map>

using namespace orvane;
using namespace orvane::testing;
using core::picker::GlyphPages;
using core::shell::ActivationRule;
using namespace Qt::StringLiterals;

namespace {

// The page as text: its number, its first and last non-empty glyphs and the number of empty buttons.
QString page(const GlyphPages& pages)
{
    QStringList shown;
    int empty = 0;
    for (int button = 0; button < GlyphPages::PageSize; ++button) {
        if (const QString glyph = pages.onButton(button); glyph.isEmpty())
            ++empty;
        else
            shown << glyph;
    }
    return u"page %1: %2..%3 +%4 empty"_s.arg(pages.pageIndex())
        .arg(shown.value(0), shown.value(shown.size() - 1))
        .arg(empty);
}

} // namespace

class TestPickerAndShell final : public QObject
{
    Q_OBJECT

private slots:
    void glyphPages()
    {
        FixtureFolder folder;
        GlyphPages pages;
        // Rows, the null glyph's id, ">" after the load (a second page's first glyph), the pages ">" shows while
        // it stays enabled (whether the page it shows is full).
        const std::tuple<int, int, bool, QStringList> cases[] = {
            {0, 0, false, {}},
            {108, 0, false, {}},
            {109, 0, true, {u"page 1: 109..109 +107 empty"_s}},
            {216, 0, true, {u"page 1: 109..216 +0 empty"_s, u"page 2: .. +108 empty"_s}},
            {300, 5, true, {u"page 1: 109..216 +0 empty"_s, u"page 2: 217..300 +24 empty"_s}},
            {300, 110, true, {u"page 1: 109..216 +1 empty"_s}},
            {5002, 0, true, {}},
        };
        for (const auto& [count, nullAt, nextAfterLoad, nexts] : cases) {
            FixtureRows rows;
            for (int id = count; id >= 1; --id) // stored out of order: the picker reads by id
                rows.glyphs.emplace_back(id, id == nullAt ? std::nullopt : std::optional(QString::number(id)));
            QVERIFY(folder.write(rows));
            pages.next(); // a load starts on the first page whatever was shown before
            pages.load(folder.open());
            QCOMPARE(pages.pageIndex(), 0);
            QCOMPARE(pages.previousEnabled(), false);
            QCOMPARE(pages.nextEnabledAfterLoad(), nextAfterLoad);
            QCOMPARE(pages.onButton(4).isEmpty(), count < 5 || nullAt == 5);
            for (qsizetype i = 0; i < nexts.size(); ++i) {
                QCOMPARE(pages.next(), i + 1 < nexts.size());
                QCOMPARE(page(pages), nexts[i]);
                QVERIFY(pages.previousEnabled());
            }
        }
        // 5002 rows: the store keeps 5001; the last page shows slots 4968 to 5000.
        QCOMPARE(pages.glyphStore().size(), std::size_t(GlyphPages::StoreSlots));
        QCOMPARE(pages.slot(5000), u"5001"_s);
        QCOMPARE(pages.slot(5001), QString());
        while (pages.pageIndex() < 45)
            QVERIFY(pages.next());
        QCOMPARE(pages.next(), false);
        QCOMPARE(page(pages), u"page 46: 4969..5001 +75 empty"_s);
        pages.previous();
        QCOMPARE(pages.pageIndex(), 45);
        while (pages.pageIndex() > 0)
            pages.previous();
        pages.previous(); // never before the first page
        QCOMPARE(page(pages), u"page 0: 1..108 +0 empty"_s);

        pages.load(nullptr);
        QCOMPARE(page(pages), u"page 0: .. +108 empty"_s);
    }

    // The About text is the last row with one; a web address is kept, a relative one lies beside the program.
    void aboutTextAndLink()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(
            {.configs = {{.name = u"Orvane"_s, .about = u"first"_s}, {.about = u""_s}, {.about = u"last\r\nline"_s}}}));
        QCOMPARE(core::shell::loadAboutText(folder.open()), u"last\r\nline"_s);
        QVERIFY(folder.write({.configs = {{.name = u"Orvane"_s}}}));
        QCOMPARE(core::shell::loadAboutText(folder.open()), std::nullopt);
        QCOMPARE(core::shell::loadAboutText(nullptr), std::nullopt);

        QCOMPARE(core::shell::aboutLink(u"html/about.html#top"_s, u"/opt/o"_s),
                 QUrl(u"file:///opt/o/html/about.html#top"_s));
        QCOMPARE(core::shell::aboutLink(u"https://example.org/o"_s, u"/opt/o"_s), QUrl(u"https://example.org/o"_s));
    }

    // Steps: focus moves to the Window, Elsewhere (another application), an Other window
    // of the program or a Handler's window; the handler runs without boxes (r), with
    // boxes while the focus has not come back yet (b), or with the focus back (B); it
    // starts (s) and finishes (f) around focus moves; a queued run is skipped (x).
    // The result shows, for each focus move, whether the handler was queued.
    void activationRule()
    {
        const std::pair<const char*, const char*> cases[] = {
            {"W", "1"},        // first focus
            {"WrEW", "100"},   // back from another application
            {"WrOW", "101"},   // from another window of the program
            {"WW", "10"},      // already queued
            {"WsWHf", "100"},  // focus moves while the handler runs
            {"WbW", "10"},     // back from the handler's own box
            {"WbHEW", "1000"}, // ... reported late, through the box and nowhere
            {"WbWOW", "1001"}, // then the user goes elsewhere in the program and back
            {"WbOW", "101"},   // the user goes elsewhere before the focus came back
            {"WBEW", "100"},   // boxes closed with the focus back: a plain return
            {"WrHW", "101"},   // an old box of the handler is another window
            {"WxOW", "101"},   // a skipped run counts as shown
        };
        using Focus = ActivationRule::Focus;
        const std::map<char, Focus> moves = {
            {'W', Focus::Window}, {'E', Focus::Elsewhere}, {'O', Focus::OtherWindow}, {'H', Focus::HandlersWindow}};
        for (const auto& [steps, expected] : cases) {
            ActivationRule rule;
            QString queued;
            for (const char step : QByteArray(steps)) {
                if (const auto move = moves.find(step); move != moves.end())
                    queued += rule.focusMoved(move->second) ? u'1' : u'0';
                if (QByteArray("srbB").contains(step))
                    rule.handlerStarted();
                if (QByteArray("frbB").contains(step))
                    rule.handlerFinished(step == 'b' || step == 'B', step != 'b');
                if (step == 'x')
                    rule.handlerSkipped();
            }
            QVERIFY2(queued == QLatin1StringView(expected), steps);
        }
    }
};

QTEST_APPLESS_MAIN(TestPickerAndShell)
#include "test_picker_and_shell.moc"
