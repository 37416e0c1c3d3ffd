// Rendering and coding the entries of a run, ahead on worker threads or one at a time, handed out in order.
#include "run/encode_pipeline.h"

#include <algorithm>
#include <utility>

namespace quillet {

EncodePipeline::EncodePipeline(int entryCount, EncodeEntry encode, int workerThreads)
    : m_entryCount(entryCount), m_encode(std::move(encode)) {
  if (workerThreads <= 0 || entryCount <= 0) return;
  // Each slot holds one coded band (tens of kilobytes at most). A window much wider than the thread count lets
  // every thread keep coding while another waits to be woken: with 32 rather than 4 entries the film's
  // entries are coded about a tenth sooner on two processors (paired runs).
  m_slots.resize(static_cast<std::size_t>(std::max(32, 8 * workerThreads)));
  const int threads = std::min(workerThreads, entryCount);
  m_workers.reserve(static_cast<std::size_t>(threads));
  for (int i = 0; i < threads; ++i) m_workers.emplace_back([this] { WorkerLoop(); });
}

EncodePipeline::~EncodePipeline() {
  {
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
  }
  m_workAvailable.notify_all();
  for (std::thread& worker : m_workers) worker.join();
}

void EncodePipeline::EncodeInto(int entryIndex, Slot& slot) {
  slot.error = nullptr;
  try {
    m_encode(entryIndex, slot.entry);
  } catch (...) {
    slot.error = std::current_exception();
  }
}

const EncodedEntry& EncodePipeline::Next(int entryIndex) {
  if (m_workers.empty()) {
    EncodeInto(entryIndex, m_current);
    if (m_current.error) std::rethrow_exception(m_current.error);
    return m_current.entry;
  }
  Slot& slot = m_slots[static_cast<std::size_t>(entryIndex - 1) % m_slots.size()];
  const int window = static_cast<int>(m_slots.size());
  std::unique_lock lock(m_mutex);
  m_consumerAt = entryIndex;  // frees the slots of the entries before it
  if (m_idleWorkers > 0) m_workAvailable.notify_all();
  while (!(slot.entryIndex == entryIndex && slot.ready)) {
    if (m_nextToClaim <= m_entryCount && m_nextToClaim < entryIndex + window) {
      // Rather than wait, code the next entry nobody has started (the one asked for, or one ahead of it).
      const int claimed = m_nextToClaim++;
      Slot& claimedSlot = m_slots[static_cast<std::size_t>(claimed - 1) % m_slots.size()];
      claimedSlot.entryIndex = claimed;
      claimedSlot.ready = false;
      lock.unlock();
      EncodeInto(claimed, claimedSlot);
      lock.lock();
      claimedSlot.ready = true;
    } else {
      m_entryReady.wait(lock);
    }
  }
  lock.unlock();
  if (slot.error) std::rethrow_exception(slot.error);
  return slot.entry;
}

void EncodePipeline::WorkerLoop() {
  const int window = static_cast<int>(m_slots.size());
  for (;;) {
    int entryIndex = 0;
    Slot* slot = nullptr;
    {
      std::unique_lock lock(m_mutex);
      // An entry may be claimed once the entry that last used its slot is done with.
      ++m_idleWorkers;
      m_workAvailable.wait(
          lock, [&] { return m_cancelled || m_nextToClaim > m_entryCount || m_nextToClaim < m_consumerAt + window; });
      --m_idleWorkers;
      if (m_cancelled || m_nextToClaim > m_entryCount) return;
      entryIndex = m_nextToClaim++;
      slot = &m_slots[static_cast<std::size_t>(entryIndex - 1) % m_slots.size()];
      slot->entryIndex = entryIndex;
      slot->ready = false;
    }
    // The slot is this worker's alone until it is marked ready.
    EncodeInto(entryIndex, *slot);
    {
      std::lock_guard lock(m_mutex);
      slot->ready = true;
    }
    m_entryReady.notify_all();
  }
}

}  // namespace quillet
