#pragma once

#include <QTest>
#include <cstddef>
#include <tuple>

// Tables of cases as named QTest rows, so that a failure names its case and the other cases still run. A case is a
// tuple whose first element is its name; its table goes into one column, "given":
//
//     void searches_data() { addRows(Searches); }
//     void searches() { const auto& [name, kind, text, rows] = given<SearchCase>(); ... }
namespace orvane::testing {

template <typename Case, std::size_t N> void addRows(const Case (&cases)[N])
{
    QTest::addColumn<Case>("given");
    for (const Case& given : cases)
        QTest::newRow(std::get<0>(given)) << given;
}

// The current row's case.
template <typename Case> const Case& given()
{
    return *static_cast<const Case*>(QTest::qData("given", qMetaTypeId<Case>()));
}

} // namespace orvane::testing
