#pragma once

#include <QIcon>

namespace orvane::shell {

// The program's own icon (several sizes, from the resources), for the tray and every window.
QIcon programIcon();

} // namespace orvane::shell
