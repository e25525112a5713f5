// Runs a piece of work when the scope ends, however it ends: the one guard for "put it back
// afterwards" (a busy flag, a depth counter, a saved value).
#pragma once

#include <utility>

namespace velmoran {

template <typename Work>
class ScopeExit {
public:
    explicit ScopeExit(Work work) : work_(std::move(work)) {}
    ~ScopeExit() { work_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Work work_;
};

// Sets a variable for the scope's lifetime and restores its previous value afterwards.
template <typename T>
class ScopedValue {
public:
    ScopedValue(T& variable, T value) : variable_(variable), saved_(std::move(variable))
    {
        variable_ = std::move(value);
    }
    ~ScopedValue() { variable_ = std::move(saved_); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& variable_;
    T saved_;
};

}  // namespace velmoran
