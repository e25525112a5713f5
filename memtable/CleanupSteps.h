// Clean-up that must run to its end: every step runs even after an earlier one failed, and the
// first failure is raised once all have run. Used where a save, load or copy puts back what it
// switched; unlike a scope guard it may raise, because it is finished explicitly.
#pragma once

#include <exception>
#include <utility>

namespace velmoran {

class TCleanupSteps {
public:
    TCleanupSteps() = default;
    // Starts with the failure of the work the clean-up follows, which then wins.
    explicit TCleanupSteps(std::exception_ptr failure) : first_(std::move(failure)) {}

    template <typename Step>
    void operator()(Step step)
    {
        try {
            step();
        } catch (...) {
            if (!first_)
                first_ = std::current_exception();
        }
    }
    void Finish()
    {
        if (first_)
            std::rethrow_exception(std::exchange(first_, nullptr));
    }

private:
    std::exception_ptr first_;
};

}  // namespace velmoran
