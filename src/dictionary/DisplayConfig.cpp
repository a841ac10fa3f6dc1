#include "dictionary/DisplayConfig.h"

namespace orvane::dictionary {
DisplayConfig& SharedDisplayConfig()
{
    static DisplayConfig config;
    return config;
}
void LoadDisplayConfig() {}
} // namespace orvane::dictionary
