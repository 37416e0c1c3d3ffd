// Rendering and coding the entries of a run, ahead on worker threads or one at a time, handed out in order.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "sup/entry_encoder.h"
#include "sup/run_length_coding.h"

namespace quillet {

// Produces entries 1..entryCount, each rendered and coded by `encode`.
//
// With workerThreads > 0 the workers code ahead of the consumer, at most a small window of entries ahead, so
// memory stays bounded whatever the entry count; the consumer's thread, rather than wait in Next, codes the
// next entry nobody has started, so it works as one more worker. `encode` is then called from several threads
// at once and must be thread-safe. With workerThreads == 0 nothing runs ahead: each entry is coded on the
// calling thread inside Next, only when it is asked for.
class EncodePipeline {
 public:
  // Renders and codes entry i into the given entry (which may hold an earlier entry; its buffers are reused).
  using EncodeEntry = std::function<void(int, EncodedEntry&)>;
  EncodePipeline(int entryCount, EncodeEntry encode, int workerThreads);
  // Lets the workers finish the entry each is working on, drops what was made ahead, and joins them.
  ~EncodePipeline();
  EncodePipeline(const EncodePipeline&) = delete;
  EncodePipeline& operator=(const EncodePipeline&) = delete;

  // Entry `entryIndex` (1-based). Entries must be asked for as 1, 2, 3, … with none skipped; the result stays
  // valid until the next call. Rethrows whatever rendering or coding that entry threw.
  const EncodedEntry& Next(int entryIndex);

 private:
  struct Slot {
    int entryIndex = 0;  // the entry held, 0 for none
    bool ready = false;
    EncodedEntry entry;
    std::exception_ptr error;
  };

  void EncodeInto(int entryIndex, Slot& slot);
  void WorkerLoop();

  const int m_entryCount;
  const EncodeEntry m_encode;

  // Sequential mode.
  Slot m_current;

  // Look-ahead mode: entry i lives in slot (i − 1) mod the window size.
  std::vector<Slot> m_slots;
  std::vector<std::thread> m_workers;
  std::mutex m_mutex;
  std::condition_variable m_workAvailable;
  std::condition_variable m_entryReady;
  int m_nextToClaim = 1;
  int m_consumerAt = 1;  // the entry the consumer waits for or holds; earlier ones are done with
  int m_idleWorkers = 0;  // workers waiting for a slot to free
  bool m_cancelled = false;
};

}  // namespace quillet
