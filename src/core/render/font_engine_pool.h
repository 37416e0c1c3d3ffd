// One font engine per thread, for rendering entries on worker threads.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "render/font_engine.h"

namespace quillet {

// Hands every calling thread its own FontEngine, made on first use from the same options, so a render callback
// that runs on several workers at once can simply call ForThisThread(). The engines live as long as the pool;
// the pool must outlive the threads' use of them. Only the lookup is locked; rendering is not serialised.
class FontEnginePerThread {
 public:
  explicit FontEnginePerThread(FontOptions options = {}) : m_options(std::move(options)) {}

  FontEngine& ForThisThread() {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto& engine = m_engines[std::this_thread::get_id()];
    if (!engine) engine = std::make_unique<FontEngine>(m_options);
    return *engine;
  }

 private:
  const FontOptions m_options;
  std::mutex m_mutex;
  std::map<std::thread::id, std::unique_ptr<FontEngine>> m_engines;
};

}  // namespace quillet
