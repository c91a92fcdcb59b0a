#pragma once
// Code that used the wide vector registers and left their upper halves in use (Qt's image
// routines do, on the way to the window) makes every later SSE instruction of this thread
// wait on them: a redraw after a paint event ran at a third of its speed. Drawing entry
// points clear that state first.

inline void ClearUpperVectorState() {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool bAvx = __builtin_cpu_supports("avx");
    if (bAvx) asm volatile("vzeroupper"); // keeps the low 128 bits that SSE code holds
#endif
}
