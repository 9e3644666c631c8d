// A manual-reset event: once set it stays set, waking every waiter, until it is reset.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class Udalost {
public:
    void nastav() {
        std::lock_guard<std::mutex> lock(m_);
        stav_ = true;
        cv_.notify_all();
    }
    void zrus() {
        std::lock_guard<std::mutex> lock(m_);
        stav_ = false;
    }
    bool nastavena() {
        std::lock_guard<std::mutex> lock(m_);
        return stav_;
    }
    // True when the event is set or becomes set within `ms` milliseconds; a negative
    // time waits for ever.
    bool cekej(long ms) {
        std::unique_lock<std::mutex> lock(m_);
        if (ms < 0) {
            cv_.wait(lock, [this] { return stav_; });
            return true;
        }
        return cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stav_; });
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool stav_ = false;
};
