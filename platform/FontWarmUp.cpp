// SPDX-License-Identifier: MIT
#include "FontWarmUp.h"

#include <system_error>

#ifdef GPD_HAVE_FONTCONFIG
#include "FullCellFont.h"
#include "Sfnt.h"
#include "SystemGbkCodec.h"

#include <QFile>

#include <memory>

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A fontconfig rule: each of `families` without antialiasing at the pixel sizes `sizes`,
// where Qt's FreeType engine then draws the font's bitmaps (embedded bitmaps on, whatever
// the user's own configuration says). A size stands for the pixel sizes that round to it,
// as FreeType picks a strike.
QByteArray bitmapRule(const QStringList &families, const QList<int> &sizes)
{
    QByteArray rule = "<?xml version=\"1.0\"?>\n"
                      "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                      "<fontconfig>\n";
    for (const QString &family : families) {
        const QByteArray name = family.toHtmlEscaped().toUtf8();
        for (qsizetype i = 0; i < sizes.size();) {
            qsizetype last = i;
            while (last + 1 < sizes.size() && sizes[last + 1] == sizes[last] + 1)
                ++last;
            rule += "  <match target=\"font\">\n"
                    "    <test name=\"family\"><string>" +
                    name +
                    "</string></test>\n"
                    "    <test name=\"pixelsize\" compare=\"more_eq\"><double>" +
                    QByteArray::number(sizes[i] - 0.5) +
                    "</double></test>\n"
                    "    <test name=\"pixelsize\" compare=\"less\"><double>" +
                    QByteArray::number(sizes[last] + 0.5) +
                    "</double></test>\n"
                    "    <edit name=\"antialias\" mode=\"assign\"><bool>false</bool></edit>\n"
                    "    <edit name=\"embeddedbitmap\" mode=\"assign\"><bool>true</bool></edit>\n"
                    "  </match>\n";
            i = last + 1;
        }
    }
    return rule + "</fontconfig>\n";
}

} // namespace
#endif

FontWarmUp::FontWarmUp(const QStringList &families) : m_families(families)
{
#ifdef GPD_HAVE_FONTCONFIG
    // Qt's font database starts with the same call; fontconfig keeps one configuration
    // per process, so the second call finds it ready, with the rule in it.
    try {
        m_thread = std::thread([this] { configure(); });
    } catch (const std::system_error &) {
        // No thread to spare: the same here, before Qt loads any font.
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

void FontWarmUp::configure()
{
#ifdef GPD_HAVE_FONTCONFIG
    FcInit();
    // The Song-style font: the first of the families that the system has under its name.
    FcObjectSet *objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    for (const QString &family : std::as_const(m_families)) {
        FcPattern *pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY,
                           reinterpret_cast<const FcChar8 *>(family.toUtf8().constData()));
        FcFontSet *fonts = FcFontList(nullptr, pattern, objects);
        FcChar8 *file = nullptr;
        int index = 0;
        if (fonts && fonts->nfont > 0 &&
            FcPatternGetString(fonts->fonts[0], FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(fonts->fonts[0], FC_INDEX, 0, &index);
            m_songFile = QString::fromUtf8(reinterpret_cast<const char *>(file));
            m_songIndex = index;
        }
        if (fonts)
            FcFontSetDestroy(fonts);
        FcPatternDestroy(pattern);
        if (!m_songFile.isEmpty()) {
            // Read in place: only the pages of the tables and glyphs used are read. Mapped
            // without QFile: the first thread to make a QObject becomes Qt's main thread, and
            // this one may run ahead of QApplication.
            const int fd = ::open(QFile::encodeName(m_songFile).constData(), O_RDONLY | O_CLOEXEC);
            struct stat info = {};
            void *data = fd >= 0 && ::fstat(fd, &info) == 0 && info.st_size > 0
                             ? ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0)
                             : MAP_FAILED;
            if (fd >= 0)
                ::close(fd);
            if (data != MAP_FAILED) {
                const QByteArrayView contents(static_cast<const char *>(data),
                                              qsizetype(info.st_size));
                m_bitmapSizes = Sfnt::strikeSizes(Sfnt::Face(contents, m_songIndex));
                // The program's own measure of GBK, opened once more for this alone.
                const auto gbk = std::make_unique<SystemGbkCodec>();
                m_fullCellFont = FullCellFont::build(
                    contents, m_songIndex, [&gbk](char32_t c) { return gbk->byteLength(c) == 2; },
                    FullCellFont::family());
                ::munmap(data, size_t(info.st_size));
            }
            if (!m_bitmapSizes.isEmpty()) {
                const QByteArray rule = bitmapRule({family, FullCellFont::family()}, m_bitmapSizes);
                FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(),
                                               reinterpret_cast<const FcChar8 *>(rule.constData()),
                                               FcTrue);
            }
            break;
        }
    }
    FcObjectSetDestroy(objects);
#endif
}
