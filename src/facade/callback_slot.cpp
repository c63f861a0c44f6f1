#include "facade/callback_slot.h"

namespace ruko {
namespace facade {

namespace {
// What this thread is delivering: the owner and slot of the innermost callback in progress, and whether that
// owner has been destroyed meanwhile.
thread_local const void* t_owner = nullptr;
thread_local const void* t_slot = nullptr;
thread_local bool t_ownerGone = false;
}  // namespace

CallbackScope::CallbackScope(const void* owner, const void* slot)
    : m_previousOwner(t_owner), m_previousSlot(t_slot), m_previousGone(t_ownerGone) {
  t_owner = owner;
  t_slot = slot;
  t_ownerGone = false;
}

CallbackScope::~CallbackScope() {
  t_owner = m_previousOwner;
  t_slot = m_previousSlot;
  t_ownerGone = m_previousGone;
}

bool CallbackScope::ownerGone() const { return t_ownerGone; }

void CallbackScope::ownerDestroying(const void* owner) {
  if (owner != nullptr && t_owner == owner) {
    t_ownerGone = true;
  }
}

bool CallbackScope::insideSlot(const void* slot) { return t_slot == slot; }

}  // namespace facade
}  // namespace ruko
