// Relative thread priorities carried out as per-thread niceness.
#include "ofl/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace OFL {
namespace Thread {
namespace {

thread_local uint32_t lastError = 0;

uint32_t FromErrno(int e) {
  switch (e) {
    case EPERM:
    case EACCES: return kErrorAccessDenied;
    case ESRCH: return kErrorInvalidHandle;
    default: return kErrorInvalidParameter;
  }
}

// The kernel id of `thread`, or 0 when it names none. The platform reads id 0
// as "the caller", so it must never reach the calls below.
id_t Resolve(Handle thread) {
  if (thread == kCurrentThread) return static_cast<id_t>(GetCurrentThreadHandle());
  if (thread == 0 || thread > static_cast<Handle>(INT_MAX)) return 0;
  return static_cast<id_t>(thread);
}

bool Fail(uint32_t code) {
  lastError = code;
  return false;
}

}  // namespace

Handle GetCurrentThreadHandle() { return static_cast<Handle>(::syscall(SYS_gettid)); }

bool GetThreadPriority(Handle thread, int& priority) {
  const id_t id = Resolve(thread);
  if (id == 0) return Fail(kErrorInvalidHandle);
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, id);  // -1 is a valid niceness
  if (nice == -1 && errno != 0) return Fail(FromErrno(errno));
  priority = -nice;
  lastError = 0;
  return true;
}

bool SetThreadPriority(Handle thread, int priority) {
  const id_t id = Resolve(thread);
  if (id == 0) return Fail(kErrorInvalidHandle);
  const int nice = std::clamp(-static_cast<long long>(priority), -20LL, 19LL);
  if (::setpriority(PRIO_PROCESS, id, static_cast<int>(nice)) != 0) return Fail(FromErrno(errno));
  lastError = 0;
  return true;
}

uint32_t GetLastError() { return lastError; }

}  // namespace Thread
}  // namespace OFL
