// SPDX-License-Identifier: MIT
// artgen OUTDIR: draws the window's pictures and icons into OUTDIR. The output is the same
// byte for byte on every run and machine with the same packages, whatever the user's
// display, font configuration or Qt environment; assets/ holds a committed copy.
#include "BackgroundArt.h"
#include "ButtonArt.h"
#include "IcoWriter.h"
#include "IconArt.h"
#include "TextOutline.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

namespace {

const QString FontFile = QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");

// Where the window places the two faces on the background, so their corners can show the
// sky they cover.
const QPoint ClearAt(387, 177);
const QPoint CopyAt(387, 229);

const int IconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

QString suffixFor(int scale)
{
    return scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
}

bool writePng(QImage image, const QString &path)
{
    // QImage takes its default resolution from the screen; a fixed 96 dpi keeps it, and
    // with it the file's pHYs chunk, the same everywhere.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QImageWriter writer(path, "png");
    if (writer.write(image))
        return true;
    err() << "artgen: cannot write " << path << ": " << writer.errorString() << Qt::endl;
    return false;
}

bool writeFile(const QByteArray &data, const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size())
        return true;
    err() << "artgen: cannot write " << path << ": " << file.errorString() << Qt::endl;
    return false;
}

bool writeAll(const QDir &out, const TextOutline &font)
{
    bool ok = true;
    for (int scale : {1, 2}) {
        const QImage background = BackgroundArt::render(font, scale);
        ok &= writePng(background,
                       out.filePath(QStringLiteral("background%1.png").arg(suffixFor(scale))));
        const QSize face = QSize(ButtonArt::Width, ButtonArt::Height) * scale;
        const QImage clear =
            ButtonArt::render(background.copy(QRect(ClearAt * scale, face)),
                              QStringLiteral(u"清空分組图案"), QColor(64, 64, 64), font, scale);
        const QImage copy =
            ButtonArt::render(background.copy(QRect(CopyAt * scale, face)),
                              QStringLiteral(u"复制分組图案"), QColor(0, 128, 128), font, scale);
        ok &= writePng(clear, out.filePath(QStringLiteral("clear%1.png").arg(suffixFor(scale))));
        ok &= writePng(copy, out.filePath(QStringLiteral("copy%1.png").arg(suffixFor(scale))));
    }
    for (int size : IconSizes)
        ok &=
            writePng(IconArt::render(size), out.filePath(QStringLiteral("icons/%1.png").arg(size)));
    ok &=
        writeFile(IcoWriter::encode(IconArt::render(32)), out.filePath(QStringLiteral("icon.ico")));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    // Always the offscreen platform: no display is needed, and none can change the output.
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char *qtArgv[] = {argv[0], platformOption, platformName, nullptr};
    int qtArgc = 3;
    QGuiApplication app(qtArgc, qtArgv);

    if (argc != 2) {
        err() << "usage: artgen OUTDIR" << Qt::endl;
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("icons"))) {
        err() << "artgen: cannot create " << out.filePath(QStringLiteral("icons")) << Qt::endl;
        return 1;
    }
    const TextOutline font(FontFile);
    if (!font.isValid()) {
        err() << "artgen: cannot load the font " << FontFile << Qt::endl;
        return 1;
    }
    return writeAll(out, font) ? 0 : 1;
}
