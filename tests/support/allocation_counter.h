#ifndef RUKO_TEST_SUPPORT_ALLOCATION_COUNTER_H
#define RUKO_TEST_SUPPORT_ALLOCATION_COUNTER_H

namespace ruko {
namespace test {

// Heap allocations (operator new) made so far by the calling thread. A program that calls this gets the
// counting operator new of allocation_counter.cpp; hot paths are shown to allocate nothing by comparing
// the count before and after.
long threadAllocationCount();

}  // namespace test
}  // namespace ruko

#endif
