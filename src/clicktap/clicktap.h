#pragma once
// CLICKTAP.DLL: the low-level mouse hook. Exported by ordinal 1 only, no name.
//
// SetHook(1) starts the hook thread and remembers the calling thread as the
// program's user-interface thread; gestures are posted to that thread's
// options window. SetHook(0) removes the hook and waits for the thread to end.
// Both are idempotent.

#ifdef __cplusplus
extern "C" {
#endif

void __stdcall SetHook(int enable);

#ifdef __cplusplus
}
#endif
