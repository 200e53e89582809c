// SPDX-License-Identifier: MIT
#include "FontWarmUp.h"

#include <system_error>

#ifdef GPD_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontWarmUp::FontWarmUp()
{
#ifdef GPD_HAVE_FONTCONFIG
    // Qt's font database starts with the same call; fontconfig keeps one configuration
    // per process, so the second call finds it ready.
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread to spare: Qt loads the configuration itself, as it would anyway.
    }
#endif
}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
