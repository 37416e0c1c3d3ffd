// The font configuration is loaded once and shared by every engine made from the same options.
#include "render/font_config.h"

#include <gtest/gtest.h>

#include <thread>

#include "render/font_engine.h"
#include "render/font_engine_pool.h"

namespace quillet {
namespace {

TEST(FontConfig, EnginesFromOneEnginesOptionsShareItsConfiguration) {
  FontEngine first(FontOptions{"UTF-8"});
  const FontConfig* loaded = first.Options().fontConfig.get();
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(FontEngine(first.Options()).Options().fontConfig.get(), loaded);

  // The workers' engines of a run: none loads a configuration of its own, and they still find the fonts.
  FontEnginePerThread pool(first.Options());
  const FontConfig* workerConfig = nullptr;
  std::string workerFamily;
  std::thread worker([&] {
    FontEngine& engine = pool.ForThisThread();
    workerConfig = engine.Options().fontConfig.get();
    workerFamily = engine.Metrics(FontDesc{}).family;
  });
  worker.join();
  EXPECT_EQ(workerConfig, loaded);
  EXPECT_EQ(workerFamily, first.Metrics(FontDesc{}).family);
}

}  // namespace
}  // namespace quillet
