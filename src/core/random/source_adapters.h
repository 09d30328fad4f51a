#pragma once

#include <memory>

#include "core/random/random_source.h"
#include "core/random/random_source_kind.h"
#include "core/random/source_decorators.h"

namespace voxloom {

class RandomSources;

// The source of `kind` over the state `sources` keeps for it (its settings, the batch,
// the devices). A kind forced past the enumeration gives a source that always fails.
std::unique_ptr<RandomSource> makeRandomSource(RandomSourceKind kind, RandomSources& sources);

// What the health tests of `kind` count of its raw values.
HealthUnit healthUnitOf(RandomSourceKind kind);

}  // namespace voxloom
