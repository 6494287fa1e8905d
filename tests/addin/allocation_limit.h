// Allocation failure on demand for the tests of this program: while a limit is armed, a given
// number of allocations through operator new succeed and every one after fails (std::bad_alloc,
// or null from the nothrow forms). The program's operators new and delete are replaced for this
// (in allocation_limit.cpp); unarmed they allocate as the library's do.
#pragma once

#include <cstddef>

class AllocationLimit {
  public:
    // Lets `allowed` more allocations succeed.
    explicit AllocationLimit(std::size_t allowed);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

    // Whether an allocation failed since the limit was armed.
    bool Refused() const;
};
