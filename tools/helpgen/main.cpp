// orvane-helpgen: fills the help page of the transliteration keys with the key table of
// a dictionary database, so the help always matches the bundled dictionary.
//
//   orvane-helpgen <page template> <output page> [<orvane.mdb>]
//
// The template's line "<!-- key table -->" becomes the table; without a database the
// line is dropped and the page explains the keys without listing them.
#include "core/data/Database.h"
#include "core/data/Mainmode.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

using KeyRule = std::pair<QString, QString>; // typed keys, resulting text

bool readKeyRules(const QString& databasePath, std::vector<KeyRule>* rules, QString* error)
{
    const auto database =
        orvane::data::Database::open(databasePath, QString::fromLatin1(orvane::data::DatabasePassword), error);
    if (!database)
        return false;
    orvane::data::Statement statement;
    statement.table = QStringLiteral("tbl_keyboard");
    statement.columns = {QStringLiteral("input"), QStringLiteral("display")};
    orvane::data::RecordSet rows = database->OpenRecordset(statement);
    for (; !rows.Eof() && rows.error().isEmpty(); rows.MoveNext()) {
        const QString input = rows.Fields(QStringLiteral("input")).value_or(QString()).trimmed();
        const QString display = rows.Fields(QStringLiteral("display")).value_or(QString());
        // Only one- and two-key sequences can ever match while typing.
        if (!input.isEmpty() && input.size() <= 2 && !display.isEmpty())
            rules->emplace_back(input, display);
    }
    if (!rows.error().isEmpty()) {
        *error = rows.error();
        return false;
    }
    // When several rows share a sequence the last one read wins, as in the program.
    std::vector<KeyRule> winners;
    for (const KeyRule& rule : *rules) {
        auto same =
            std::find_if(winners.begin(), winners.end(), [&](const KeyRule& w) { return w.first == rule.first; });
        if (same != winners.end())
            same->second = rule.second;
        else
            winners.push_back(rule);
    }
    // Grouped by the letter they produce, then by the keys.
    std::stable_sort(winners.begin(), winners.end(), [](const KeyRule& a, const KeyRule& b) {
        return std::pair(a.second.normalized(QString::NormalizationForm_D).left(1).toLower(), a.first) <
               std::pair(b.second.normalized(QString::NormalizationForm_D).left(1).toLower(), b.first);
    });
    *rules = std::move(winners);
    return true;
}

QString keyTable(const std::vector<KeyRule>& rules)
{
    constexpr int PairsPerRow = 4;
    QString html = QStringLiteral("<table class=\"keys\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n<tr>");
    for (int column = 0; column < PairsPerRow; ++column)
        html += QStringLiteral("<th>Type</th><th>You get</th>");
    html += QStringLiteral("</tr>\n");
    for (size_t index = 0; index < rules.size(); index += PairsPerRow) {
        html += QStringLiteral("<tr>");
        for (size_t cell = index; cell < index + PairsPerRow; ++cell) {
            if (cell < rules.size())
                html += QStringLiteral("<td><kbd>%1</kbd></td><td class=\"result\">%2</td>")
                            .arg(rules[cell].first.toHtmlEscaped(), rules[cell].second.toHtmlEscaped());
            else
                html += QStringLiteral("<td></td><td></td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n<p>%1 key sequences.</p>\n").arg(rules.size());
    return html;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "orvane-helpgen: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3 && arguments.size() != 4)
        return fail(QStringLiteral("usage: orvane-helpgen <page template> <output page> [<orvane.mdb>]"));

    QFile templateFile(arguments[1]);
    if (!templateFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(arguments[1], templateFile.errorString()));
    QString page = QString::fromUtf8(templateFile.readAll());

    const QString marker = QStringLiteral("<!-- key table -->");
    if (!page.contains(marker))
        return fail(QStringLiteral("%1 has no line %2").arg(arguments[1], marker));
    QString table;
    if (arguments.size() == 4) {
        std::vector<KeyRule> rules;
        QString error;
        if (!readKeyRules(arguments[3], &rules, &error))
            return fail(QStringLiteral("cannot read the keys of %1: %2").arg(arguments[3], error));
        table = keyTable(rules);
    }
    page.replace(marker, table);

    // The help compiler reads the page as Latin-1 unless told otherwise; characters
    // beyond it go in as references so every viewer shows them.
    QString ascii;
    for (const QChar* c = page.constBegin(); c != page.constEnd(); ++c) {
        if (c->isHighSurrogate() && c + 1 != page.constEnd()) {
            ascii += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(*c, *(c + 1)));
            ++c;
        } else if (c->unicode() > 0x7e) {
            ascii += QStringLiteral("&#%1;").arg(c->unicode());
        } else {
            ascii += *c;
        }
    }

    QSaveFile output(arguments[2]);
    if (!output.open(QIODevice::WriteOnly) || output.write(ascii.toLatin1()) < 0 || !output.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(arguments[2], output.errorString()));
    return 0;
}
