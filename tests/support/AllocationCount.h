// The bytes a program holds through operator new, counted, so that a test can bound what a piece
// of work costs in memory (never in time). Only a program that links AllocationCount.cpp counts:
// it replaces the global operator new and delete for the whole program.
#pragma once

#include <cstddef>

namespace velmoran::testing {

// The most the program held at once while it lived, beyond what it held when it began.
class PeakAllocation {
public:
    PeakAllocation();
    PeakAllocation(const PeakAllocation&) = delete;
    PeakAllocation& operator=(const PeakAllocation&) = delete;

    std::size_t Bytes() const;

private:
    std::size_t start_;
};

}  // namespace velmoran::testing
