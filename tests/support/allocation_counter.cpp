#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local long t_allocations = 0;
}  // namespace

// Replaces the global operator new of every program that links this file (it is only pulled in from the
// support library by a call to threadAllocationCount()). malloc/free underneath are the point; GCC flags
// the pairing once it inlines these.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  ++t_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

namespace ruko {
namespace test {

long threadAllocationCount() {
  return t_allocations;
}

}  // namespace test
}  // namespace ruko
