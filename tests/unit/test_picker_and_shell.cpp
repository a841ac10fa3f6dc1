// The rules under the picker and the shell's windows.
#include "FixtureDatabase.h"
#include "TableRows.h"
#include "core/picker/GlyphName.h"
#include "core/picker/GlyphPages.h"
#include "core/shell/AboutText.h"
#include "core/shell/ActivationRule.h"
#include "ui/common/HelpLauncher.h"

#include <QUrl>
#include <map>

using namespace orvane;
using namespace orvane::testing;
using core::picker::GlyphPages;
using core::shell::ActivationRule;
using ui::common::HelpLauncher;
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

// Glyphs 1..count, stored out of order (the picker reads by id), the one at `nullAt` null.
core::data::DatabaseHandle glyphTable(const FixtureFolder& folder, int count, int nullAt = 0)
{
    FixtureRows rows;
    for (int id = count; id >= 1; --id)
        rows.glyphs.emplace_back(id, id == nullAt ? std::nullopt : std::optional(QString::number(id)));
    return folder.write(rows) ? folder.open() : nullptr;
}

using PagesCase = std::tuple<const char*, int, int, bool, QStringList>;
using NameCase = std::tuple<const char*, QString, QString>;
using ActivationCase = std::tuple<const char*, QByteArray, QString>;
// Viewers installed, viewers that fail to start, whether the desktop opens the file; the file; what happens.
using HelpCase = std::tuple<const char*, QStringList, QStringList, bool, QString, HelpLauncher::Result, QString>;

} // namespace

class TestPickerAndShell final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;

private slots:
    // Rows, the null glyph's id, ">" after the load (a second page's first glyph), the pages ">" shows while it stays
    // enabled (whether the page it shows is full).
    void glyphPages_data()
    {
        const QString second = u"page 1: 109..216 +0 empty"_s;
        const PagesCase cases[] = {
            {"no glyphs", 0, 0, false, {}},
            {"one page", 108, 0, false, {}},
            {"one more", 109, 0, true, {u"page 1: 109..109 +107 empty"_s}},
            {"two full pages", 216, 0, true, {second, u"page 2: .. +108 empty"_s}},
            {"a null on the first page", 300, 5, true, {second, u"page 2: 217..300 +24 empty"_s}},
            {"a null on the second page", 300, 110, true, {u"page 1: 109..216 +1 empty"_s}},
        };
        addRows(cases);
    }

    void glyphPages()
    {
        const auto& [name, count, nullAt, nextAfterLoad, nexts] = given<PagesCase>();
        GlyphPages pages;
        pages.next(); // a load starts on the first page whatever was shown before
        pages.load(glyphTable(m_folder, count, nullAt));
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

    // 5002 rows: the store keeps 5001; the last page shows slots 4968 to 5000; "<" never goes before the first.
    void aFullStore()
    {
        GlyphPages pages;
        pages.load(glyphTable(m_folder, 5002));
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
        pages.previous();
        QCOMPARE(page(pages), u"page 0: 1..108 +0 empty"_s);
        pages.load(nullptr);
        QCOMPARE(page(pages), u"page 0: .. +108 empty"_s);
    }

    // A grid button says the names of its glyph's characters, from any plane, in order.
    void glyphNames_data()
    {
        const NameCase cases[] = {
            {"a letter and a mark", u"e\u0301"_s, u"LATIN SMALL LETTER E, COMBINING ACUTE ACCENT"_s},
            {"beyond 16 bits", u"𝛼"_s, u"MATHEMATICAL ITALIC SMALL ALPHA"_s},
            {"no name", u"\uE000\u0007"_s, u"U+E000, U+0007"_s}};
        addRows(cases);
    }

    void glyphNames()
    {
        const auto& [name, glyph, spoken] = given<NameCase>();
        QCOMPARE(core::picker::glyphName(glyph), spoken);
    }

    // The About text is the last row with one; a web address is kept, a relative one lies beside the program.
    void aboutTextAndLink()
    {
        QVERIFY(m_folder.write(
            {.configs = {{.name = u"Orvane"_s, .about = u"first"_s}, {.about = u""_s}, {.about = u"last\r\nline"_s}}}));
        QCOMPARE(core::shell::loadAboutText(m_folder.open()), u"last\r\nline"_s);
        QVERIFY(m_folder.write({.configs = {{.name = u"Orvane"_s}}}));
        QCOMPARE(core::shell::loadAboutText(m_folder.open()), std::nullopt);
        QCOMPARE(core::shell::loadAboutText(nullptr), std::nullopt);

        QCOMPARE(core::shell::aboutLink(u"html/about.html#top"_s, u"/opt/o"_s),
                 QUrl(u"file:///opt/o/html/about.html#top"_s));
        QCOMPARE(core::shell::aboutLink(u"https://example.org/o"_s, u"/opt/o"_s), QUrl(u"https://example.org/o"_s));
    }

    // Steps: focus moves to the Window, Elsewhere (another application), an Other window of the program or a
    // Handler's window; the handler runs without boxes (r), with boxes while the focus has not come back yet (b),
    // or with the focus back (B); it starts (s) and finishes (f) around focus moves; a queued run is skipped (x).
    // The result shows, for each focus move, whether the handler was queued.
    void activationRule_data()
    {
        const ActivationCase cases[] = {
            {"first focus", "W", u"1"_s},
            {"back from another application", "WrEW", u"100"_s},
            {"from another window of the program", "WrOW", u"101"_s},
            {"already queued", "WW", u"10"_s},
            {"focus moves while the handler runs", "WsWHf", u"100"_s},
            {"back from the handler's own box", "WbW", u"10"_s},
            {"... reported late, through the box and nowhere", "WbHEW", u"1000"_s},
            {"elsewhere before the focus came back", "WbOW", u"101"_s},
            {"boxes closed with the focus back, then an old box of the handler", "WBHW", u"101"_s},
            {"an old box of the handler is another window", "WrHW", u"101"_s},
            {"a skipped run counts as shown", "WxOW", u"101"_s},
        };
        addRows(cases);
    }

    void activationRule()
    {
        const auto& [name, steps, queued] = given<ActivationCase>();
        using Focus = ActivationRule::Focus;
        const std::map<char, Focus> moves = {
            {'W', Focus::Window}, {'E', Focus::Elsewhere}, {'O', Focus::OtherWindow}, {'H', Focus::HandlersWindow}};
        ActivationRule rule;
        QString result;
        for (const char step : steps) {
            if (const auto move = moves.find(step); move != moves.end())
                result += rule.focusMoved(move->second) ? u'1' : u'0';
            if (QByteArray("srbB").contains(step))
                rule.handlerStarted();
            if (QByteArray("frbB").contains(step))
                rule.handlerFinished(step == 'b' || step == 'B', step != 'b');
            if (step == 'x')
                rule.handlerSkipped();
        }
        QCOMPARE(result, queued);
    }

    // Viewers in order, the full path as one argument, then the desktop; failures are reported.
    void helpViewers_data()
    {
        const QStringList both{u"xchm"_s, u"kchmviewer"_s};
        const QString file = m_folder.path() + u"/orvane.chm"_s;
        using Result = HelpLauncher::Result;
        const HelpCase cases[] = {
            {"the first viewer", both, {}, true, file, Result::Started, u"/bin/xchm F"_s},
            {"next viewer", both, {u"/bin/xchm"_s}, true, file, Result::Started, u"/bin/xchm F, /bin/kchmviewer F"_s},
            {"the desktop", {}, {}, true, file, Result::Started, u"desktop F"_s},
            {"nothing", {}, {}, false, file, Result::NoViewer, u"desktop F"_s},
            {"no file", both, {}, true, file + u".missing"_s, Result::FileMissing, QString()},
        };
        addRows(cases);
    }

    void helpViewers()
    {
        const auto& [name, installed, failing, desktop, path, result, attempts] = given<HelpCase>();
        const QString file = m_folder.path() + u"/orvane.chm"_s;
        QVERIFY(writeFile(file, "ITSF"));
        QStringList tried;
        const HelpLauncher launcher(
            [&in = installed](const QString& viewer) { return in.contains(viewer) ? u"/bin/"_s + viewer : QString(); },
            [&tried, &fails = failing](const QString& program, const QStringList& arguments) {
                tried << program + u' ' + arguments.join(u'|');
                return !fails.contains(program);
            },
            [&tried, opens = desktop](const QUrl& url) {
                tried << u"desktop "_s + url.toLocalFile();
                return opens;
            });
        QCOMPARE(launcher.open(path), result);
        QCOMPARE(tried.join(u", "_s).replace(file, u"F"_s), attempts);
    }
};

QTEST_APPLESS_MAIN(TestPickerAndShell)
#include "test_picker_and_shell.moc"
