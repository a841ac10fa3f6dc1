#include "app/LookupRequest.h"

#include "app/WindowRegistry.h"
#include "core/dictionary/Lookup.h"
#include "ui/dictionary/DictionaryWindow.h"

#include <QClipboard>
#include <QGuiApplication>

namespace orvane::app {

namespace {

QString selectedText()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection()) {
        const QString selected = clipboard->text(QClipboard::Selection);
        if (!core::dictionary::lookupText(selected).isEmpty())
            return selected;
    }
    return clipboard->text(QClipboard::Clipboard);
}

} // namespace

void lookUp(WindowRegistry& registry, const std::optional<QString>& text)
{
    registry.showDictionary()->lookUp(text ? *text : selectedText());
}

} // namespace orvane::app
