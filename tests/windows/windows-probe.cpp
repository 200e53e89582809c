// SPDX-License-Identifier: MIT
// Another Windows program beside the tool, for the tests that run it under Wine. Wine's X11
// side turns CR LF into LF, so the exact clipboard text is read here, on the Windows side.
//   windows-probe read              prints "unicode HEX" and "text HEX": the bytes of
//                                   CF_UNICODETEXT (UTF-16LE) and of CF_TEXT up to their
//                                   terminating NUL, or "none" for a format not offered
//   windows-probe hold              opens the clipboard and keeps it open, as a busy
//                                   program would; prints "held", closes it at end of input
//   windows-probe hold-unrendered   takes the clipboard with text it promises to render on
//                                   demand and never does (it takes no message); prints
//                                   "held", ends at end of input
//   windows-probe hold-rendering HEX MS|never
//                                   takes the clipboard with the UTF-16LE text HEX promised
//                                   as CF_UNICODETEXT, and renders it MS milliseconds after
//                                   each ask (or never: it stays in the render, taking no
//                                   message); prints "held", then "rendered" at each render
//                                   that keeps; ends at end of input
//   windows-probe offer-unicode     offers standard input as CF_UNICODETEXT (UTF-16LE, as
//                                   it is: lone surrogates and NULs too)
//   windows-probe offer-text        offers standard input as CF_TEXT only
//   windows-probe type              types standard input (UTF-16LE) into the focused
//                                   window as an input method does, one character at a time:
//                                   xdotool's remapped keys reach Wine's programs as the
//                                   first character remapped, over and over
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <thread>

namespace {
bool openClipboard(HWND owner = nullptr)
{
    // Another program may have it open for a moment.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(20);
    }
    std::fprintf(stderr, "windows-probe: cannot open the clipboard (%lu)\n", GetLastError());
    return false;
}

void printFormat(const char *label, UINT format, std::size_t unitSize)
{
    std::printf("%s ", label);
    HANDLE data = GetClipboardData(format);
    const auto *bytes = data ? static_cast<const unsigned char *>(GlobalLock(data)) : nullptr;
    if (!bytes) {
        std::printf("none\n");
        return;
    }
    // Up to the first NUL unit, and never past the end of the block.
    const std::size_t size = GlobalSize(data);
    for (std::size_t i = 0; i + unitSize <= size; i += unitSize) {
        bool nul = true;
        for (std::size_t k = 0; k < unitSize; ++k)
            nul = nul && bytes[i + k] == 0;
        if (nul)
            break;
        for (std::size_t k = 0; k < unitSize; ++k)
            std::printf("%02x", bytes[i + k]);
    }
    std::printf("\n");
    GlobalUnlock(data);
}

int read()
{
    if (!openClipboard())
        return 1;
    printFormat("unicode", CF_UNICODETEXT, 2);
    printFormat("text", CF_TEXT, 1);
    CloseClipboard();
    return 0;
}

int hold()
{
    // Opened for a window of its own: Wine lets two programs open it for no window at once.
    HWND window = CreateWindowW(L"STATIC", L"windows-probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    if (!window || !openClipboard(window))
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    char buffer[64];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    CloseClipboard();
    return 0;
}

// Takes the clipboard with text it promises to render when asked (delayed rendering), and
// never answers, as a hung program would: it takes no message until standard input closes.
int holdUnrendered()
{
    HWND window = CreateWindowW(L"STATIC", L"windows-probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    if (!window || !openClipboard(window))
        return 1;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, nullptr);
    CloseClipboard();
    std::printf("held\n");
    std::fflush(stdout);
    char buffer[64];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    return 0;
}

struct Rendering
{
    std::string text; // UTF-16LE, with its NUL
    DWORD delayMs = 0;
    HANDLE inputEnded = nullptr;
} rendering;

LRESULT CALLBACK renderingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        PostQuitMessage(0);
        return 0;
    }
    if (message != WM_RENDERFORMAT || wParam != CF_UNICODETEXT)
        return DefWindowProcW(window, message, wParam, lParam);
    if (WaitForSingleObject(rendering.inputEnded, rendering.delayMs) == WAIT_OBJECT_0)
        return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, rendering.text.size());
    if (!block)
        return 0;
    std::memcpy(GlobalLock(block), rendering.text.data(), rendering.text.size());
    GlobalUnlock(block);
    const DWORD sequence = GetClipboardSequenceNumber();
    if (!SetClipboardData(CF_UNICODETEXT, block)) {
        GlobalFree(block);
        return 0;
    }
    // Windows takes an owner's data only in a render it asked for itself, within someone's
    // GetClipboardData; Wine takes it in any render while the clipboard is open, but only
    // the one it asked for leaves the sequence number alone. Keep Windows' rule: elsewhere
    // the text stays promised.
    if (GetClipboardSequenceNumber() != sequence) {
        SetClipboardData(CF_UNICODETEXT, nullptr);
        return 0;
    }
    std::printf("rendered\n");
    std::fflush(stdout);
    return 0;
}

// Takes the clipboard with text it renders when asked (delayed rendering), late or never.
int holdRendering(const char *hex, const char *delayMs)
{
    for (std::size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        rendering.text.push_back(char(std::stoi(std::string(hex + i, 2), nullptr, 16)));
    rendering.text.append(2, '\0');
    rendering.delayMs = std::strcmp(delayMs, "never") == 0 ? INFINITE : DWORD(std::atoi(delayMs));
    rendering.inputEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = renderingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"windows-probe";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"windows-probe", L"windows-probe", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, nullptr, nullptr);
    if (!window || !openClipboard(window))
        return 1;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, nullptr);
    CloseClipboard();
    std::printf("held\n");
    std::fflush(stdout);
    // Standard input ends it; the messages go on meanwhile.
    std::thread([window] {
        char buffer[64];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
        SetEvent(rendering.inputEnded);
        PostMessageW(window, WM_APP, 0, 0);
    }).detach();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

std::string standardInput()
{
    _setmode(_fileno(stdin), _O_BINARY);
    std::string input;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        input.append(buffer, n);
    return input;
}

int offer(UINT format, std::size_t unitSize)
{
    std::string input = standardInput();
    input.append(unitSize, '\0');
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, input.size());
    if (!block)
        return 1;
    std::memcpy(GlobalLock(block), input.data(), input.size());
    GlobalUnlock(block);
    if (!openClipboard())
        return 1;
    EmptyClipboard();
    const bool set = SetClipboardData(format, block) != nullptr;
    CloseClipboard();
    return set ? 0 : 1;
}
int type()
{
    const std::string input = standardInput();
    for (std::size_t i = 0; i + 1 < input.size(); i += 2) {
        INPUT keys[2] = {};
        keys[0].type = INPUT_KEYBOARD;
        keys[0].ki.wScan = static_cast<WORD>(static_cast<unsigned char>(input[i]) |
                                             static_cast<unsigned char>(input[i + 1]) << 8);
        keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
        keys[1] = keys[0];
        keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        if (SendInput(2, keys, sizeof(INPUT)) != 2)
            return 1;
        Sleep(30);
    }
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "hold-rendering") == 0)
        return holdRendering(argv[2], argv[3]);
    const char *command = argc == 2 ? argv[1] : "";
    if (std::strcmp(command, "read") == 0)
        return read();
    if (std::strcmp(command, "hold") == 0)
        return hold();
    if (std::strcmp(command, "hold-unrendered") == 0)
        return holdUnrendered();
    if (std::strcmp(command, "offer-unicode") == 0)
        return offer(CF_UNICODETEXT, 2);
    if (std::strcmp(command, "offer-text") == 0)
        return offer(CF_TEXT, 1);
    if (std::strcmp(command, "type") == 0)
        return type();
    std::fprintf(stderr,
                 "usage: windows-probe read|hold|hold-unrendered|hold-rendering HEX MS|never|"
                 "offer-unicode|offer-text|type\n");
    return 2;
}
