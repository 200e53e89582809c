// SPDX-License-Identifier: MIT
#include "FontWarmUp.h"

#include <system_error>

#ifdef GPD_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#ifdef GPD_HAVE_FONTCONFIG
namespace {
// The Song-style font from its own bitmaps at the sizes it has them for (11 to 16 px: 9 pt
// at 100 % and 125 %), black and crisp, as 宋体 is drawn on a Chinese Windows; Qt's FreeType
// engine draws a strike only where fontconfig says not to antialias. Its outlines above.
constexpr char BitmapStrikes[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <match target="font">
    <test name="family"><string>AR PL UMing CN</string></test>
    <test name="pixelsize" compare="less_eq"><double>16.5</double></test>
    <edit name="antialias" mode="assign"><bool>false</bool></edit>
    <edit name="embeddedbitmap" mode="assign"><bool>true</bool></edit>
  </match>
</fontconfig>
)";

void configure()
{
    FcInit();
    FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(),
                                   reinterpret_cast<const FcChar8 *>(BitmapStrikes), FcFalse);
}
} // namespace
#endif

FontWarmUp::FontWarmUp()
{
#ifdef GPD_HAVE_FONTCONFIG
    // Qt's font database starts with the same call; fontconfig keeps one configuration
    // per process, so the second call finds it ready, with the rule in it.
    try {
        m_thread = std::thread(configure);
    } catch (const std::system_error &) {
        // No thread to spare: the configuration is read here.
        configure();
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
