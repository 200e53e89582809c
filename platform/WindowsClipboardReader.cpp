// SPDX-License-Identifier: MIT
#include "WindowsClipboardReader.h"

#include "TextTransfer.h"

#include <QObject>
#include <QString>

#include <qt_windows.h>

#include <mutex>
#include <thread>

// What the reader and its threads share: where answers go, while the reader lives.
struct WindowsClipboardReader::Shared
{
    std::mutex mutex;
    QObject *receiver = nullptr; // on the program's thread; null once the reader is gone
};

namespace {
struct Answer
{
    Clipboard::Outcome outcome = Clipboard::Outcome::NoText;
    QString text;
};

// Opens the clipboard as soon as whoever holds it open lets go, within the bound.
bool openClipboard()
{
    const ULONGLONG until = GetTickCount64() + TextTransfer::SilenceMs;
    do {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(10);
    } while (GetTickCount64() < until);
    return false;
}

// Asks another program that owns the clipboard to render its text now, as GetClipboardData
// would, but no longer than the bound: false when it did not answer.
bool ownerRenders()
{
    HWND owner = GetClipboardOwner();
    DWORD process = 0;
    if (!owner || !GetWindowThreadProcessId(owner, &process) || process == GetCurrentProcessId())
        return true;
    for (const UINT format : {CF_UNICODETEXT, CF_TEXT}) {
        if (!IsClipboardFormatAvailable(format))
            continue;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(owner, WM_RENDERFORMAT, format, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                 TextTransfer::SilenceMs, &result))
            return false;
    }
    return true;
}

Answer readClipboard()
{
    if (!openClipboard())
        return {Clipboard::Outcome::NoAnswer, {}};
    Answer answer;
    if (!ownerRenders()) {
        answer.outcome = Clipboard::Outcome::NoAnswer;
    } else if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *text = static_cast<const wchar_t *>(GlobalLock(data))) {
            // Up to its NUL, and within the handle, however the owner wrote it.
            const SIZE_T units = GlobalSize(data) / sizeof(wchar_t);
            SIZE_T length = 0;
            while (length < units && length < SIZE_T(TextTransfer::MaxBytes / 2) && text[length])
                ++length;
            answer.text = QString::fromWCharArray(text, qsizetype(length));
            GlobalUnlock(data);
        }
        answer.outcome =
            answer.text.isEmpty() ? Clipboard::Outcome::NoText : Clipboard::Outcome::Text;
    }
    CloseClipboard();
    return answer;
}
} // namespace

WindowsClipboardReader::WindowsClipboardReader() : m_shared(std::make_shared<Shared>())
{
    m_shared->receiver = new QObject;
    // The thread's steps are each bounded, but the system itself may keep it (Wine's bridge
    // to X11 holds OpenClipboard while it waits on the same owner): the request ends after
    // the same silence all the same.
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(TextTransfer::SilenceMs);
    QObject::connect(&m_timeout, &QTimer::timeout,
                     [this] { answer(m_request, Clipboard::Outcome::NoAnswer, QString()); });
}

WindowsClipboardReader::~WindowsClipboardReader()
{
    // A thread still waiting finds no one to tell, and ends with the program if not before.
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    delete m_shared->receiver;
    m_shared->receiver = nullptr;
}

void WindowsClipboardReader::request(Clipboard::Source source, Clipboard::TextHandler done)
{
    cancel();
    // Windows has no selection of its own to paste with a middle click.
    if (source == Clipboard::Source::Selection) {
        done(Clipboard::Outcome::NoText, QString());
        return;
    }
    m_done = std::move(done);
    m_timeout.start();
    std::thread([shared = m_shared, request = m_request, this] {
        const Answer read = readClipboard();
        const std::lock_guard<std::mutex> lock(shared->mutex);
        // The receiver, and with it the reader, lives while the answer is on its way.
        if (shared->receiver)
            QMetaObject::invokeMethod(
                shared->receiver,
                [this, request, read] { answer(request, read.outcome, read.text); },
                Qt::QueuedConnection);
    }).detach();
}

void WindowsClipboardReader::cancel()
{
    ++m_request;
    m_timeout.stop();
    m_done = nullptr;
}

void WindowsClipboardReader::answer(unsigned request, Clipboard::Outcome outcome,
                                    const QString &text)
{
    if (request != m_request)
        return;
    ++m_request;
    m_timeout.stop();
    if (Clipboard::TextHandler done = std::exchange(m_done, nullptr))
        done(outcome, text);
}
