// One font engine per thread, for rendering entries on worker threads.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "render/font_engine.h"

namespace quillet {

// Hands every calling thread its own FontEngine, made on first use from the same options, so a render callback
// that runs on several workers at once can simply call ForThisThread(). The engines share the options' font
// configuration (loaded here once when the options have none). The engines live as long as the pool; the pool
// must outlive the threads' use of them. Only the lookup is locked: an engine is made outside the lock, and
// rendering is not serialised.
class FontEnginePerThread {
 public:
  explicit FontEnginePerThread(FontOptions options = {}) : m_options(WithFontConfig(std::move(options))) {}

  FontEngine& ForThisThread() {
    const std::thread::id self = std::this_thread::get_id();
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      auto found = m_engines.find(self);
      if (found != m_engines.end()) return *found->second;
    }
    auto engine = std::make_unique<FontEngine>(m_options);
    std::lock_guard<std::mutex> lock(m_mutex);
    return *m_engines.emplace(self, std::move(engine)).first->second;
  }

 private:
  FontOptions m_options;
  std::mutex m_mutex;
  std::map<std::thread::id, std::unique_ptr<FontEngine>> m_engines;
};

}  // namespace quillet
