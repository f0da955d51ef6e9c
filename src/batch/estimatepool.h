#pragma once

// The estimates of a batch run, computed ahead on worker threads and taken by
// the run in list order, so the files are written exactly as one thread would
// write them. Each worker owns an engine state set up from the run's
// (engine::WorkerSetup). With no workers every item is computed on the run's
// own state when it is taken (the plain path, whose callbacks let window
// events through inside the engine's loops).
//
// A worker takes a stretch of consecutive items at a time, so that its state's
// leave-one-out memo serves the next location nearby and its data files are
// checked on disk once per stretch, and is woken only when there is room for
// a stretch; the run's thread is woken only when the item it waits for is
// done. Results are moved in and out of their slots.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "engine/data_files.h"
#include "engine/state.h"
#include "engine/workers.h"

namespace tavisol::batch {

template <class Result> class OrderedEstimates {
public:
    using Work = std::function<Result(engine::EngineState &state, std::size_t item)>;

    // Items 0..count-1; `ahead` bounds the results computed but not yet taken
    // (those being computed included), `stretch` the items a worker takes at
    // once.
    OrderedEstimates(engine::EngineState &base, std::size_t count, unsigned workers, Work work,
                     std::size_t ahead = 256, std::size_t stretch = 8)
        : base_(base), setup_(engine::WorkerSetup::Of(base)), count_(count), work_(std::move(work)),
          ahead_(std::max<std::size_t>(ahead, 1)), stretch_(std::clamp<std::size_t>(stretch, 1, ahead_)) {
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
        if (!slot.done) {
            waitingFor_ = item;
            const bool ready = ready_.wait_for(lock, wait, [&] { return slot.done; });
            waitingFor_ = NoItem;
            if (!ready)
                return std::nullopt;
        }
        std::optional<Result> result = std::move(slot.result);
        const std::exception_ptr failure = std::move(slot.failure);
        slot.result.reset();
        slot.failure = nullptr;
        slot.done = false;
        taken_ = item + 1;
        const bool wake = idle_ > 0 && RoomForStretch();
        lock.unlock();
        if (wake)
            space_.notify_one();
        if (failure)
            std::rethrow_exception(failure);
        return result;
    }

    // Computes `item` once more on the calling thread: on the run's own
    // state without workers, else on a state set up as the workers' are.
    Result redo(std::size_t item) {
        if (!threaded())
            return work_(base_, item);
        if (!own_) {
            own_.emplace();
            setup_.Prepare(*own_);
        }
        return work_(*own_, item);
    }

private:
    struct Slot {
        bool done = false; // holds the result of the item taken next from it
        std::optional<Result> result;
        std::exception_ptr failure;
    };

    // Items a worker takes next: a stretch, or what is left of the list.
    std::size_t NextStretch() const { return std::min(stretch_, count_ - next_); }
    // Whether the next stretch fits in the slots not taken yet. The slot of
    // item i is i % ahead_, so an item is started only when the one ahead_
    // before it has been taken.
    bool RoomForStretch() const { return next_ < count_ && next_ + NextStretch() <= taken_ + ahead_; }

    void Serve() {
        engine::EngineState state;
        setup_.Prepare(state);
        // The data files are checked on disk once per stretch.
        const auto files = std::make_shared<engine::SteppedDataFiles>(state.Files ? state.Files
                                                                                  : engine::DefaultDataFiles());
        state.Files = files;
        for (;;) {
            std::size_t first = 0, end = 0;
            bool more = false;
            {
                std::unique_lock lock(mutex_);
                ++idle_;
                space_.wait(lock, [&] { return stopping_ || next_ >= count_ || RoomForStretch(); });
                --idle_;
                if (stopping_ || next_ >= count_)
                    return;
                first = next_;
                end = next_ += NextStretch();
                more = idle_ > 0 && RoomForStretch();
            }
            // Room for another worker as well: pass the wake on.
            if (more)
                space_.notify_one();
            files->NextStep();
            for (std::size_t item = first; item < end; ++item) {
                std::optional<Result> result;
                std::exception_ptr failure;
                try {
                    result.emplace(work_(state, item));
                } catch (...) {
                    failure = std::current_exception();
                }
                bool awaited = false;
                {
                    std::lock_guard lock(mutex_);
                    Slot &slot = slots_[item % ahead_];
                    slot.result = std::move(result);
                    slot.failure = std::move(failure);
                    slot.done = true;
                    awaited = waitingFor_ == item;
                    if (stopping_)
                        return;
                }
                // Only the run's thread waits here, and only for one item.
                if (awaited)
                    ready_.notify_one();
            }
        }
    }

    engine::EngineState &base_;
    const engine::WorkerSetup setup_;
    const std::size_t count_;
    const Work work_;
    const std::size_t ahead_;
    const std::size_t stretch_;
    std::optional<engine::EngineState> own_; // redo's state with workers

    std::mutex mutex_;
    std::condition_variable space_; // room for a worker's next stretch
    std::condition_variable ready_; // the item the run's thread waits for is done
    std::vector<Slot> slots_;
    static constexpr std::size_t NoItem = static_cast<std::size_t>(-1);
    std::size_t next_ = 0;            // the next item a worker starts
    std::size_t taken_ = 0;           // items taken so far
    std::size_t waitingFor_ = NoItem; // the item the run's thread waits for
    unsigned idle_ = 0;               // workers waiting for room ahead
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace tavisol::batch
