#include "shell/ProgramIcon.h"

namespace orvane::shell {

QIcon programIcon()
{
    return QIcon(); // the icon resource replaces this
}

} // namespace orvane::shell
