#ifndef LOOPWEAVE_TESTS_SUPPORT_ALLOCATION_COUNTER_H
#define LOOPWEAVE_TESTS_SUPPORT_ALLOCATION_COUNTER_H

namespace loopweave::testing {

// Counts the calls of the global operator new and operator delete made since
// the counter was created, so that a test can see when memory is taken and
// given back.
class AllocationCounter {
public:
    // False when something else has taken over the allocation functions, as
    // valgrind does; the counts are zero then.
    static bool Counting();

    AllocationCounter();
    long Allocations() const;
    long Releases() const;

private:
    long allocationsAtStart_;
    long releasesAtStart_;
};

// While it lives, the allocations made through operator new after the first
// `allowed` fail with std::bad_alloc, so that a test can see what an
// operation leaves behind when memory runs out part way through. Only where
// AllocationCounter::Counting().
class AllocationLimit {
public:
    explicit AllocationLimit(long allowed);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

}  // namespace loopweave::testing

#endif  // LOOPWEAVE_TESTS_SUPPORT_ALLOCATION_COUNTER_H
