#pragma once

#include <atomic>

/// Cancel, the one switch a join reads between its steps: the window's
/// thread sets it, the join's thread looks at it. With "keep nothing" (a
/// signal, a logout) no partial target is left and an existing one is kept.
class CancelToken
{
public:
    void cancel(bool keepNothing = false)
    {
        if (keepNothing)
            m_keepNothing.store(true, std::memory_order_relaxed);
        m_cancelled.store(true, std::memory_order_release);
    }
    bool cancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    bool keepsNothing() const { return m_keepNothing.load(std::memory_order_acquire); }
    /// A new join starts.
    void reset()
    {
        m_keepNothing.store(false, std::memory_order_relaxed);
        m_cancelled.store(false, std::memory_order_release);
    }

private:
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_keepNothing{false};
};
