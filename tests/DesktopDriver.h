// SPDX-License-Identifier: MIT
#pragma once

// Drives the real program as a user would. Under a real X server: xdotool for the mouse and
// keyboard, xclip to read the clipboard from another program, import for screenshots. In a
// sway session (tools/wayland-test): the pointer wayvnc gives the seat, wtype, wl-paste,
// grim, and swaymsg for the windows.

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonObject>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

namespace desktop {

inline const QString Placeholder = QStringLiteral(u"好友分组名称");
constexpr QRgb FrameBlue = 0xff8db8ff;     // RGB(141, 184, 255)
constexpr QRgb PanelLine = 0xff3e5e92;     // RGB(62, 94, 146)
constexpr QRgb TooltipYellow = 0xffffffdc; // the note's background, as Qt's tooltips

struct FieldRect
{
    int x, y, w, h;
};
// Where each name field must lie, in logical client pixels.
constexpr FieldRect Fields[11] = {{158, 110, 192, 23}, {158, 130, 192, 23}, {158, 152, 174, 21},
                                  {158, 174, 174, 21}, {158, 197, 174, 21}, {158, 218, 174, 21},
                                  {158, 240, 174, 21}, {158, 262, 174, 21}, {158, 284, 174, 21},
                                  {158, 306, 174, 21}, {158, 328, 174, 21}};
constexpr QPoint ClearButton(387 + 45, 177 + 17);
constexpr QPoint CopyButton(387 + 45, 229 + 17);

// The y of the point of row r's triangle (r = 1 for the fixed first row).
constexpr int rowPoint(int r)
{
    return 94 + 22 * (r - 1);
}

struct Result
{
    int exitCode = -1;
    QByteArray out;
};

// True in a Wayland session, where the program runs as a native Wayland client.
bool onWayland();
// What is wrong with a screenshot of the window at a scale (device pixels per logical pixel):
// empty when the frame, the panel's lines, the underline and each field's text lie where
// the design puts them.
QString scaledWindowFault(const QImage &shot, double scale);
// A name, then a frame of three rows, each of 16 bytes: drawn as the messenger draws it, the
// three rows end level.
inline const QStringList FramePattern{QStringLiteral(u"我的分组"), QStringLiteral(u"╭━━━━━━╮"),
                                      QStringLiteral(u"┃★我的好友★┃"), QStringLiteral(u"╰━━━━━━╯")};
// What is wrong with FramePattern shown from field `first` on, in a shot at a scale; empty
// when its three frame rows end level, within a device pixel or the scale.
QString frameFault(const QImage &shot, int first, double scale = 1);

Result run(const QString &program, const QStringList &args, int timeoutMs = 10000);
Result xdotool(const QStringList &args);
bool isDark(QRgb c);
// Asks the window to close as a window manager does when its close box is clicked.
bool sendDeleteWindow(unsigned long window);
QByteArray windowProperty(const QString &window, const QString &name);
QByteArray clipboardUtf8();
// The X window that owns the selection ("clipboard" or "primary"), 0 for none.
unsigned long selectionOwner(const QString &selection = QStringLiteral("clipboard"));
// Puts text on the clipboard (or the primary selection) from another program, as copying
// from a web page would.
bool offerClipboard(const QByteArray &utf8, const QString &selection = QStringLiteral("clipboard"));
// Where a note shows in a screenshot of the window: the box around its tooltip colour, or
// a null rectangle when none shows. Logical pixels, at the given scale.
QRect noteIn(const QImage &shot, double scale = 1);
// What is wrong with the note in a screenshot of the window: it shows when it should not, or
// not when it should, or over a field, a picture button or the link strip.
QString noteFault(const QImage &shot, bool shown, double scale = 1);
// Why a name breaks the rule (controls, characters without a GBK form, over 16 bytes), or
// an empty string when it keeps it.
QString nameFault(const QString &name);
// Checks the eleven copied names: each keeps the rule, those from field `first` down are
// the lines of `expected`, the others empty. Fails the running test otherwise.
void verifyNames(const QStringList &names, int first, const QString &expected);
QByteArray joined(const QStringList &names);

// One running copy of the tool and its top-level window. Points are logical: a tool that
// runs at a screen scale has them scaled to device pixels.
class Tool
{
public:
    ~Tool();

    bool start(const QString &program, const QStringList &args = {},
               const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
               double scale = 1);

    // The X window id, or the compositor's id of the window on Wayland.
    QString window() const { return QString::fromLatin1(m_window); }
    unsigned long windowId() const { return m_window.toULong(); }
    QProcess &process() { return m_process; }
    // Keeps what the program writes on standard error to read from process(), rather than
    // passing it on; before start().
    void keepErrors() { m_keepErrors = true; }
    // The windows of the program that are shown.
    QStringList windows() const;
    // The whole screen.
    QImage screen() const;
    // Where the program's shown windows are on the screen, the main window first (on
    // Wayland its popups are not among them).
    QList<QRect> windowRects() const;
    // On Wayland: what the compositor knows of the window (app_id, name, geometry...).
    QJsonObject view() const;
    // Asks the window to close, as a click on its close box does.
    bool requestClose() const;
    // Closes every other window of the program (a message it shows) as a window manager
    // does, and waits until they are gone.
    bool closeOtherWindows() const;

    void click(QPoint p, int repeat = 1, int button = 1);
    // Clicks the copy picture and reads the clipboard once the tool holds it, so that what
    // is read is the tool's copy and not what another program held; empty when it never does.
    QByteArray copy();
    // Whether the clipboard is the tool's: on X11 a window of the tool's owns it; on Wayland
    // the offer is Qt's (wl-copy also offers text under its X11 names).
    bool holdsClipboard() const;
    void clickField(int n);
    void keys(const QString &keys);
    // Keys one after another from one keyboard, `pauseMs` after the first: a popup the first
    // opens keeps the keyboard it was opened with.
    void keys(const QStringList &keys, int pauseMs);
    void type(const QString &text);
    QImage screenshot() const;
    // The screen where the window is, and `below` logical pixels under it: what other
    // windows of the program (a tooltip, a popup) show over and by it.
    QImage screenArea(int below) const;

private:
    QProcess m_process;
    QByteArray m_window;
    double m_scale = 1;
    bool m_keepErrors = false;
    QPoint m_origin; // of the window's client area on the Wayland output
    QElapsedTimer m_lastClick;
};

} // namespace desktop
