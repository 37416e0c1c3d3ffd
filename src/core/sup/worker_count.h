// How many look-ahead workers a generation run starts: from the processors this process may run on.
#pragma once

namespace quillet {

// The processors this process may be scheduled on (its affinity mask, which a container's or taskset's limit
// narrows), at least 1.
int UsableProcessorCount();

// Look-ahead workers for a run on `processors` usable processors: one per processor, but none on a single
// processor, where a worker only adds hand-over costs to the same work.
int LookAheadWorkers(int processors);

}  // namespace quillet
