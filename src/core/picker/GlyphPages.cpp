#include "core/picker/GlyphPages.h"

#include "core/data/Schema.h"

#include <algorithm>

namespace orvane::core::picker {

GlyphPages::GlyphPages() : m_store(StoreSlots) {}

void GlyphPages::load(const data::DatabaseHandle& database)
{
    std::fill(m_store.begin(), m_store.end(), QString());
    m_pageIndex = 0;
    if (!database)
        return;
    data::RecordSet glyphs = database->exec(data::Statement::glyphsInOrder());
    // Rows past the last slot would be read only to be dropped, so reading stops there.
    const QString glyph = data::DB_COLUMN_GLYPH;
    for (std::size_t k = 0; k < m_store.size() && glyphs.next(); ++k)
        m_store[k] = glyphs.value(glyph).value_or(QString());
}

QString GlyphPages::slot(int index) const
{
    if (index < 0 || index >= StoreSlots)
        return {};
    return m_store[std::size_t(index)];
}

QString GlyphPages::onButton(int button) const
{
    return slot(m_pageIndex * PageSize + button);
}

bool GlyphPages::next()
{
    ++m_pageIndex;
    for (int button = 0; button < PageSize; ++button) {
        if (onButton(button).isEmpty())
            return false;
    }
    return true;
}

void GlyphPages::previous()
{
    if (m_pageIndex > 0)
        --m_pageIndex;
}

} // namespace orvane::core::picker
