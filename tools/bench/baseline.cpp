// SPDX-License-Identifier: MIT
// The least a Qt Widgets program of the designer's kind does: a fixed 508 x 384 window
// showing one picture, with eleven frameless line edits holding the starting name at the
// fields' places. The start-up benchmark measures the tool against it.
//
// Options add one cost of the tool at a time, so that each can be measured on its own:
//   --gbk     open the GBK converter and measure the starting names, as the edit rule does
//   --icon    give the window the tool's icon
//   --tahoma  ask for the tool's 9 pt Tahoma, a family the system may have to substitute
//   --empty   leave the fields empty (no CJK text, no font fallback)
//   --raw F   show the picture from F, its 508 x 388 RGB32 pixels, mapped: no PNG decoding
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QStringEncoder>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {
struct Rect
{
    int x, y, w, h;
};
constexpr Rect Fields[11] = {{158, 110, 192, 23}, {158, 130, 192, 23}, {158, 152, 174, 21},
                             {158, 174, 174, 21}, {158, 197, 174, 21}, {158, 218, 174, 21},
                             {158, 240, 174, 21}, {158, 262, 174, 21}, {158, 284, 174, 21},
                             {158, 306, 174, 21}, {158, 328, 174, 21}};

const char *option(int argc, char **argv, const char *name)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return i + 1 < argc ? argv[i + 1] : "";
    return nullptr;
}

bool hasOption(int argc, char **argv, const char *name)
{
    return option(argc, argv, name) != nullptr;
}
} // namespace

int main(int argc, char *argv[])
{
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    const QString name = hasOption(argc, argv, "--empty") ? QString() : u"好友分组名称"_s;
    if (hasOption(argc, argv, "--gbk")) {
        QStringEncoder gbk("GBK", QStringConverter::Flag::Stateless);
        const QByteArray bytes = gbk.encode(name);
        if (!gbk.isValid() || bytes.size() != 2 * name.size())
            return 1;
    }

    QWidget window;
    window.setFixedSize(508, 384);
    if (hasOption(argc, argv, "--tahoma"))
        window.setFont(QFont(u"Tahoma"_s, 9));
    if (hasOption(argc, argv, "--icon"))
        window.setWindowIcon(QIcon(u":/icon.png"_s));

    QLabel picture(&window);
    picture.setGeometry(0, 0, 508, 388);
    QFile raw;
    if (const char *path = option(argc, argv, "--raw")) {
        raw.setFileName(QFile::decodeName(path));
        const uchar *pixels = raw.open(QIODevice::ReadOnly) ? raw.map(0, raw.size()) : nullptr;
        if (!pixels || raw.size() != 508 * 388 * 4)
            return 1;
        picture.setPixmap(QPixmap::fromImage(QImage(pixels, 508, 388, QImage::Format_RGB32)));
    } else {
        picture.setPixmap(QPixmap(u":/background.png"_s));
    }

    for (const Rect &r : Fields) {
        auto *field = new QLineEdit(name, &window);
        field->setFrame(false);
        field->setGeometry(r.x, r.y, r.w, r.h);
    }

    window.show();
    return app.exec();
}
