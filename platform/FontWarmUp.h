// SPDX-License-Identifier: MIT
#pragma once

#include <thread>

// Loads the system's font configuration on a worker thread while the rest of the program
// starts, so that the window's first text does not wait for it. Where text rendering
// needs no such set-up, it does nothing.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Waits for the set-up to finish. Called before the first text is measured, so that
    // Qt finds the configuration loaded instead of loading a second one beside it.
    void wait();

private:
    std::thread m_thread;
};
