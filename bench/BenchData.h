#pragma once

#include "Bench.h"

#include <QString>

namespace orvane::bench {

// The dictionaries the bench measures on, built once and cached in `dataDir`
// (rebuilt when the bundled dictionary is newer than the cache).
class BenchData
{
public:
    // The bundled dictionary as it is, and an unencrypted copy of it as the reference.
    static Dataset bundled(const QString& bundledPath, const QString& dataDir);
    // One million entries made of the bundled headwords (repeated with numbered
    // suffixes: ψυχή, ψυχή2, ψυχή3 …), encrypted, and its unencrypted reference.
    static Dataset million(const Dataset& bundled, const QString& dataDir);

    static constexpr qint64 MillionEntries = 1000000;
};

} // namespace orvane::bench
