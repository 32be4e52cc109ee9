#pragma once

#include <cstddef>
#include <exception>
#include <mutex>

// The error of the first body in list order among those that failed in a
// parallel stage, to be raised on the calling thread once every thread is
// done: no exception may leave a worker, and any thread count reports the
// same error.
class FirstFailure {
public:
    // Runs work for the body in `slot`; false if it threw.
    template <typename Work>
    bool Guard(std::size_t slot, Work &&work)
    {
        try {
            work();
            return true;
        } catch (...) {
            const std::lock_guard lock(mutex_);
            if (!error_ || slot < slot_) {
                slot_ = slot;
                error_ = std::current_exception();
            }
            return false;
        }
    }
    // Asked between stages only.
    bool Failed() const { return bool(error_); }
    void Raise() const
    {
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    std::mutex mutex_;
    std::size_t slot_ = 0;
    std::exception_ptr error_;
};
