// Clearing the processor's upper vector register state before the renderer runs on the window's thread.
#pragma once

namespace quillet::ui {

/*
 * Code reached through Qt's event processing leaves the upper halves of the AVX registers in use. Until they are
 * cleared, the renderer's SSE code on this thread pays a state-transition penalty on x86 processors and runs
 * about ten times slower (measured: a preview background 9 ms headless, 95 ms after an event was processed).
 * The window clears the state wherever control passes from Qt to the controller. The renderer keeps nothing in
 * the upper halves, so clearing them never loses a value.
 */
inline void ClearUpperVectorState() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool haveAvx = __builtin_cpu_supports("avx");
  if (haveAvx) asm volatile("vzeroupper");
#endif
}

}  // namespace quillet::ui
