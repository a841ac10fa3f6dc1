#pragma once

#include "core/data/Database.h"

#include <QString>
#include <QtGlobal>
#include <vector>

namespace orvane::core::picker {

// The glyphs of tbl_glyph as the character picker pages through them: a store of
// StoreSlots slots read in id order, and the page the grid shows, PageSize glyphs a page.
class GlyphPages
{
public:
    static constexpr int PageSize = 108;
    static constexpr int StoreSlots = 5001; // slots 0 to 5000, both ends valid

    GlyphPages();

    // Empties the store, reads tbl_glyph of `database` in id order into it (a null glyph
    // as empty text; rows past the last slot are not kept) and turns to the first page.
    // Without a database, or when the rows cannot be walked, the store keeps what was read.
    void load(const data::DatabaseHandle& database);

    const std::vector<QString>& glyphStore() const { return m_store; }
    int pageIndex() const { return m_pageIndex; }
    QString slot(int index) const;      // empty outside the store
    QString onButton(int button) const; // what grid button `button` shows on this page

    // ">": turns to the next page. Returns whether ">" stays enabled: it is not once the
    // page shows an empty button.
    bool next();
    // "<": turns to the previous page; nothing on the first.
    void previous();

    // ">" after a load: the second page has a first glyph.
    bool nextEnabledAfterLoad() const { return !slot(PageSize).isEmpty(); }
    // "<": everywhere but on the first page.
    bool previousEnabled() const { return m_pageIndex > 0; }

private:
    std::vector<QString> m_store;
    qint16 m_pageIndex = 0;
};

} // namespace orvane::core::picker
