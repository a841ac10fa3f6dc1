#include "ui/common/ProgramIcon.h"

// The resource lives in a static library, so it is registered by hand, and
// Q_INIT_RESOURCE must be used outside any namespace.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icon);
}

namespace orvane::ui::common {

QIcon programIcon()
{
    static const QIcon icon = [] {
        registerIconResource();
        // Drawn for the size and pixel density asked where Qt's SVG icon engine is installed;
        // else the PNG of the nearest larger size, scaled down.
        if (QIcon scalable(QStringLiteral(":/icon/orvane.svg")); !scalable.isNull())
            return scalable;
        QIcon all;
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
            all.addFile(QStringLiteral(":/icon/orvane-%1.png").arg(size), QSize(size, size));
        return all;
    }();
    return icon;
}

} // namespace orvane::ui::common
