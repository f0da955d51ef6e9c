#pragma once

// The estimates of a batch run, computed ahead on worker threads and taken by
// the run in list order, so the files are written exactly as one thread would
// write them. Each worker owns an engine state set up from the run's
// (engine::WorkerSetup). With no workers every item is computed on the run's
// own state when it is taken (the plain path, whose callbacks let window
// events through inside the engine's loops).

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "engine/state.h"
#include "engine/workers.h"

namespace tavisol::batch {

template <class Result> class OrderedEstimates {
public:
    using Work = std::function<Result(engine::EngineState &state, std::size_t item)>;

    // Items 0..count-1; `ahead` bounds the results waiting to be taken.
    OrderedEstimates(engine::EngineState &base, std::size_t count, unsigned workers, Work work,
                     std::size_t ahead = 256)
        : base_(base), setup_(engine::WorkerSetup::Of(base)), count_(count), work_(std::move(work)),
          ahead_(std::max<std::size_t>(ahead, 1)) {
        if (workers == 0)
            return;
        slots_.resize(ahead_);
        for (unsigned w = 0; w < workers; ++w)
            threads_.emplace_back([this] { Serve(); });
    }

    // Stops the workers after the item each is computing and waits for them.
    ~OrderedEstimates() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        space_.notify_all();
        for (std::thread &t : threads_)
            t.join();
    }

    OrderedEstimates(const OrderedEstimates &) = delete;
    OrderedEstimates &operator=(const OrderedEstimates &) = delete;

    bool threaded() const { return !threads_.empty(); }

    // The result of `item`, which must be the one after the item taken last.
    // Waits at most `wait` for a worker; nothing when it is not ready yet. A
    // failure of the item is thrown here.
    std::optional<Result> take(std::size_t item, std::chrono::milliseconds wait) {
        if (!threaded())
            return work_(base_, item);
        Slot &slot = slots_[item % ahead_];
        std::unique_lock lock(mutex_);
        waitingFor_ = item;
        const bool ready = ready_.wait_for(lock, wait, [&] { return slot.done && slot.item == item; });
        waitingFor_ = NoItem;
        if (!ready)
            return std::nullopt;
        std::optional<Result> result = std::move(slot.result);
        const std::exception_ptr failure = slot.failure;
        slot = Slot{};
        taken_ = item + 1;
        const bool idleWorkers = idle_ > 0;
        lock.unlock();
        if (idleWorkers)
            space_.notify_all();
        if (failure)
            std::rethrow_exception(failure);
        return result;
    }

private:
    struct Slot {
        std::size_t item = 0;
        bool done = false;
        std::optional<Result> result;
        std::exception_ptr failure;
    };

    void Serve() {
        engine::EngineState state;
        setup_.Prepare(state);
        for (;;) {
            std::size_t item = 0;
            {
                std::unique_lock lock(mutex_);
                ++idle_;
                space_.wait(lock, [&] { return stopping_ || next_ >= count_ || next_ < taken_ + ahead_; });
                --idle_;
                if (stopping_ || next_ >= count_)
                    return;
                item = next_++;
            }
            std::optional<Result> result;
            std::exception_ptr failure;
            try {
                result = work_(state, item);
            } catch (...) {
                failure = std::current_exception();
            }
            bool awaited = false;
            {
                std::lock_guard lock(mutex_);
                Slot &slot = slots_[item % ahead_];
                slot.item = item;
                slot.result = std::move(result);
                slot.failure = failure;
                slot.done = true;
                awaited = waitingFor_ == item;
            }
            // Only the run's thread waits here, and only for one item.
            if (awaited)
                ready_.notify_one();
        }
    }

    engine::EngineState &base_;
    const engine::WorkerSetup setup_;
    const std::size_t count_;
    const Work work_;
    const std::size_t ahead_;

    std::mutex mutex_;
    std::condition_variable space_; // a worker may start the next item
    std::condition_variable ready_; // an item is done
    std::vector<Slot> slots_;
    static constexpr std::size_t NoItem = static_cast<std::size_t>(-1);
    std::size_t next_ = 0;           // the next item a worker starts
    std::size_t taken_ = 0;          // items taken so far
    std::size_t waitingFor_ = NoItem; // the item the run's thread waits for
    unsigned idle_ = 0;              // workers waiting for room ahead
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace tavisol::batch
