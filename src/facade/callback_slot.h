#ifndef RUKO_FACADE_CALLBACK_SLOT_H
#define RUKO_FACADE_CALLBACK_SLOT_H

#include <condition_variable>
#include <mutex>

namespace ruko {
namespace facade {

// Marks the calling thread as running an application callback on behalf of `owner` for its lifetime. If the
// owner is destroyed on this thread while the callback runs (the application deletes the facade from inside
// its own callback), the owner's destructor reports it through ownerDestroying() and the code that called the
// application learns from ownerGone() that it must return without touching the owner again.
class CallbackScope {
 public:
  CallbackScope(const void* owner, const void* slot);
  ~CallbackScope();
  CallbackScope(const CallbackScope&) = delete;
  CallbackScope& operator=(const CallbackScope&) = delete;

  bool ownerGone() const;

  // From the owner's destructor, on whatever thread runs it.
  static void ownerDestroying(const void* owner);
  // True when this thread is inside a callback delivered through `slot`.
  static bool insideSlot(const void* slot);

 private:
  const void* m_previousOwner;
  const void* m_previousSlot;
  bool m_previousGone;
};

// One application callback with its argument. The application's function is never called with a lock held,
// so it may log out, register callbacks or destroy the facade. Registration still never returns while another
// thread is inside the callback it replaces: once set() has returned, the old callback is neither running nor
// about to run.
template <class Callback>
class CallbackSlot {
 public:
  // Waits until no other thread is inside this slot's callback. The thread that is itself inside it (a
  // callback that replaces itself) does not wait for its own call.
  void set(Callback callback, void* arg) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const int mine = CallbackScope::insideSlot(this) ? 1 : 0;
    m_idle.wait(lock, [&] { return m_inProgress <= mine; });
    m_callback = callback;
    m_arg = arg;
  }

  // Calls invoke(callback, arg) when a callback is set. False when `owner` was destroyed during the call:
  // then neither this slot nor the owner may be touched again.
  template <class Invoke>
  bool call(const void* owner, Invoke&& invoke) {
    Callback callback;
    void* arg;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_callback == nullptr) {
        return true;
      }
      callback = m_callback;
      arg = m_arg;
      ++m_inProgress;
    }
    {
      CallbackScope scope(owner, this);
      invoke(callback, arg);
      if (scope.ownerGone()) {
        return false;
      }
    }
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      --m_inProgress;
    }
    m_idle.notify_all();
    return true;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_idle;
  Callback m_callback = nullptr;
  void* m_arg = nullptr;
  int m_inProgress = 0;
};

}  // namespace facade
}  // namespace ruko

#endif  // RUKO_FACADE_CALLBACK_SLOT_H
