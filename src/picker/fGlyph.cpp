#include "picker/fGlyph.h"

namespace orvane {

fGlyph::fGlyph(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fGlyph"));
    setWindowTitle(QStringLiteral("Insert Characters"));
}

} // namespace orvane
