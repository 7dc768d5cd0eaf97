// OFL::RunWithTimeLimit: a blocking call (a name lookup, a probe of a file on
// a network mount) run on a worker thread that the caller waits for at most a
// time limit. When the limit passes the caller goes on without an answer,
// while the worker finishes on its own and drops its result. Without a thread
// to spare the call runs on the caller's thread, without a limit.
//
// `fn` is copied into the worker, so everything it uses must be owned by it
// (captured by value). Any thread.
#ifndef OFL_TIME_LIMIT_H_
#define OFL_TIME_LIMIT_H_

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace OFL {

template <class Fn>
auto RunWithTimeLimit(Fn fn, std::chrono::milliseconds limit) -> std::optional<decltype(fn())> {
  using T = decltype(fn());
  // Shared by the caller and the worker, so either may leave first.
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<T> result;
  };
  auto shared = std::make_shared<Shared>();
  try {
    std::thread([shared, fn = std::move(fn)]() mutable {
      T result = fn();
      std::lock_guard<std::mutex> lock(shared->mutex);
      shared->result.emplace(std::move(result));
      shared->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return fn();
  }
  std::unique_lock<std::mutex> lock(shared->mutex);
  if (!shared->done.wait_for(lock, limit, [&] { return shared->result.has_value(); })) return std::nullopt;
  return std::move(shared->result);
}

}  // namespace OFL

#endif  // OFL_TIME_LIMIT_H_
