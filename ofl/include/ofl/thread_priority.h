// Thread priorities of the platform, as relative levels around normal.
//
// A thread is named by a 32-bit handle: the kernel's id of the thread. The
// value kCurrentThread stands for the calling thread where an operation says
// so. Levels follow the platform's relative thread priorities: 0 normal,
// -1 below normal, +1 above normal (and so on); they are carried out as the
// thread's scheduling niceness (level = -nice), which every thread may raise
// but only a privileged one may lower. Failures leave a Win32-style code for
// GetLastError: 5 (access denied, the system refused), 6 (invalid handle,
// no such thread), 87 (invalid parameter).
//
// Any thread may call these; the last error is kept per thread.
#ifndef OFL_THREAD_PRIORITY_H_
#define OFL_THREAD_PRIORITY_H_

#include <cstdint>

namespace OFL {
namespace Thread {

using Handle = uint32_t;

inline constexpr Handle kCurrentThread = 0xFFFFFFFFu;
inline constexpr int kPriorityBelowNormal = -1;
inline constexpr int kPriorityNormal = 0;
inline constexpr int kPriorityAboveNormal = 1;

inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorInvalidParameter = 87;

// The handle of the calling thread (never kCurrentThread).
Handle GetCurrentThreadHandle();
// The thread's level in `priority`; false (and the last error) on failure.
// kCurrentThread names the calling thread.
bool GetThreadPriority(Handle thread, int& priority);
// Sets the thread's level; false (and the last error) on failure.
bool SetThreadPriority(Handle thread, int priority);
// The code of the calling thread's last failure of the two above; 0 after a
// success.
uint32_t GetLastError();

}  // namespace Thread
}  // namespace OFL

#endif  // OFL_THREAD_PRIORITY_H_
