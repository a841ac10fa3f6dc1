#pragma once

#include <QIcon>

namespace orvane::ui::common {

// The program's own icon (scalable, or several sizes, from the resources), for the tray and
// every window.
QIcon programIcon();

} // namespace orvane::ui::common
