// SPDX-License-Identifier: MIT
#include "WindowsClipboardReader.h"

#include "TextTransfer.h"

#include <QObject>
#include <QString>

#include <qt_windows.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

namespace {
// To the worker's window. Posted: read for the request in wParam. Sent: let go of the
// clipboard if the read that holds it is over (wParam: a request whose time is up, or 0).
// Posted: end the thread.
constexpr UINT ReadMessage = WM_APP;
constexpr UINT ReleaseMessage = WM_APP + 1;
constexpr UINT QuitMessage = WM_APP + 2;

struct Answer
{
    Clipboard::Outcome outcome = Clipboard::Outcome::NoAnswer;
    QString text;
};

Answer textOf(HANDLE data)
{
    Answer answer{Clipboard::Outcome::NoText, {}};
    if (const auto *text = data ? static_cast<const wchar_t *>(GlobalLock(data)) : nullptr) {
        // Up to its NUL, and within the handle, however the owner wrote it.
        const SIZE_T units = GlobalSize(data) / sizeof(wchar_t);
        SIZE_T length = 0;
        while (length < units && length < SIZE_T(TextTransfer::MaxBytes / 2) && text[length])
            ++length;
        answer.text = QString::fromWCharArray(text, qsizetype(length));
        GlobalUnlock(data);
    }
    if (!answer.text.isEmpty())
        answer.outcome = Clipboard::Outcome::Text;
    return answer;
}
} // namespace

// A thread with a window of its own that reads for the reader, one request at a time: while
// GetClipboardData waits on the owner, Windows has the waiting thread take the messages sent
// to it, and ReleaseMessage closes the clipboard from inside that wait. The wait itself goes
// on till the owner answers or ends; Wine's GetClipboardData holds a lock of the process
// meanwhile, so no second thread may read before it returns: requests queue behind it.
struct WindowsClipboardReader::Worker
{
    // Shared with the program's thread.
    std::mutex m_mutex;
    WindowsClipboardReader *m_reader = nullptr; // null once the reader is gone
    QObject *m_receiver = nullptr;              // on the program's thread, with the reader
    std::atomic<unsigned> m_live{0};            // the request still wanted, 0 for none
    std::atomic<unsigned> m_finished{0};        // the last request done with
    HANDLE m_finishedEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr); // set at each
    HWND m_window = nullptr; // set before the reader's constructor returns

    // The worker's own; the timer's callback reads m_reading, set before the timer starts and
    // cleared after it is deleted.
    unsigned m_reading = 0;
    ULONGLONG m_deadline = 0;
    bool m_open = false;

    Worker() = default;
    Worker(const Worker &) = delete;
    Worker &operator=(const Worker &) = delete;
    ~Worker() { CloseHandle(m_finishedEvent); }

    void run(std::promise<void> started);
    void read(unsigned request);
    Answer readClipboard(unsigned request);
    bool openClipboard(unsigned request);
    void release(unsigned expired);

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void CALLBACK expire(PVOID worker, BOOLEAN);
};

void WindowsClipboardReader::Worker::run(std::promise<void> started)
{
    static const wchar_t *const windowClass = [] {
        WNDCLASSEXW c = {};
        c.cbSize = sizeof c;
        c.lpfnWndProc = &Worker::windowProc;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"GroupPatternDesignerClipboardReader";
        RegisterClassExW(&c);
        return c.lpszClassName;
    }();
    m_window = CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (m_window)
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    started.set_value();
    if (!m_window)
        return;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    DestroyWindow(m_window);
}

LRESULT CALLBACK WindowsClipboardReader::Worker::windowProc(HWND window, UINT message,
                                                            WPARAM wParam, LPARAM lParam)
{
    auto *worker = reinterpret_cast<Worker *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (worker && message == ReadMessage) {
        worker->read(unsigned(wParam));
        return 0;
    }
    if (worker && message == ReleaseMessage) {
        worker->release(unsigned(wParam));
        return 0;
    }
    if (message == QuitMessage) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK WindowsClipboardReader::Worker::expire(PVOID worker, BOOLEAN)
{
    const auto *w = static_cast<const Worker *>(worker);
    SendNotifyMessageW(w->m_window, ReleaseMessage, w->m_reading, 0);
}

void WindowsClipboardReader::Worker::read(unsigned request)
{
    Answer answer;
    if (m_live == request) {
        m_reading = request;
        m_deadline = GetTickCount64() + TextTransfer::SilenceMs;
        // The bound holds whatever the owner does, and whatever the program's thread does.
        HANDLE timer = nullptr;
        if (!CreateTimerQueueTimer(&timer, nullptr, &Worker::expire, this, TextTransfer::SilenceMs,
                                   0, WT_EXECUTEONLYONCE))
            timer = nullptr;
        answer = readClipboard(request);
        if (timer)
            DeleteTimerQueueTimer(nullptr, timer, INVALID_HANDLE_VALUE);
        m_reading = 0;
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_receiver && m_live == request)
            QMetaObject::invokeMethod(
                m_receiver,
                [reader = m_reader, request, answer] {
                    reader->answer(request, answer.outcome, answer.text);
                },
                Qt::QueuedConnection);
    }
    // After the answer is on its way: finishRead() may count on it.
    m_finished = request;
    SetEvent(m_finishedEvent);
}

Answer WindowsClipboardReader::Worker::readClipboard(unsigned request)
{
    if (!openClipboard(request))
        return {};
    m_open = true;
    // The owner renders in here, if it was promised and the system asks it.
    HANDLE data = m_live == request ? GetClipboardData(CF_UNICODETEXT) : nullptr;
    if (!m_open) // let go of while waiting: the handle is no longer ours to read
        return {};
    const Answer answer = m_live == request ? textOf(data) : Answer();
    CloseClipboard();
    m_open = false;
    return answer;
}

bool WindowsClipboardReader::Worker::openClipboard(unsigned request)
{
    // As soon as whoever holds it open lets go, within the bound. Opened for the window: Wine
    // lets a second thread open it for no window while another has it so.
    while (m_live == request && GetTickCount64() < m_deadline) {
        if (OpenClipboard(m_window))
            return true;
        Sleep(10);
    }
    return false;
}

void WindowsClipboardReader::Worker::release(unsigned expired)
{
    if (m_open && (expired == m_reading || m_live != m_reading)) {
        CloseClipboard();
        m_open = false;
    }
}

WindowsClipboardReader::WindowsClipboardReader() : m_worker(std::make_shared<Worker>())
{
    m_worker->m_reader = this;
    m_worker->m_receiver = new QObject;
    std::promise<void> started;
    std::future<void> running = started.get_future();
    // Detached: a thread still waiting on an owner ends with the program if not before.
    std::thread([worker = m_worker, started = std::move(started)]() mutable {
        worker->run(std::move(started));
    }).detach();
    running.wait();
    // The worker lets go of the clipboard at its deadline, but may stay in GetClipboardData
    // long after, and a request queued behind that wait never reaches it: the request ends
    // after the same silence all the same.
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(TextTransfer::SilenceMs);
    QObject::connect(&m_timeout, &QTimer::timeout,
                     [this] { answer(m_request, Clipboard::Outcome::NoAnswer, QString()); });
}

WindowsClipboardReader::~WindowsClipboardReader()
{
    {
        const std::lock_guard<std::mutex> lock(m_worker->m_mutex);
        delete m_worker->m_receiver;
        m_worker->m_receiver = nullptr;
        m_worker->m_reader = nullptr;
    }
    stopWorker();
    if (m_worker->m_window)
        PostMessageW(m_worker->m_window, QuitMessage, 0, 0);
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
    m_deadline.setRemainingTime(TextTransfer::SilenceMs);
    m_timeout.start();
    m_worker->m_live = m_request;
    if (m_worker->m_window)
        PostMessageW(m_worker->m_window, ReadMessage, m_request, 0);
}

void WindowsClipboardReader::cancel()
{
    ++m_request;
    m_timeout.stop();
    m_done = nullptr;
    stopWorker();
}

void WindowsClipboardReader::finishRead()
{
    if (!m_worker->m_window)
        return;
    if (m_done) {
        // Taking sent messages meanwhile: the owner asked to render may be this program.
        const HANDLE finished = m_worker->m_finishedEvent;
        while (m_worker->m_finished != m_request && !m_deadline.hasExpired()) {
            if (MsgWaitForMultipleObjects(1, &finished, FALSE, DWORD(m_deadline.remainingTime()),
                                          QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
                MSG message;
                PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            }
        }
        if (m_worker->m_finished == m_request)
            return;
        // Over its bound: the timeout tells whoever asked.
        m_worker->m_live = 0;
    }
    // Returns once the worker has taken it, from wherever it waits.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(m_worker->m_window, ReleaseMessage, 0, 0, SMTO_NORMAL,
                        TextTransfer::SilenceMs, &result);
}

void WindowsClipboardReader::stopWorker()
{
    m_worker->m_live = 0;
    if (m_worker->m_window)
        SendNotifyMessageW(m_worker->m_window, ReleaseMessage, 0, 0);
}

void WindowsClipboardReader::answer(unsigned request, Clipboard::Outcome outcome,
                                    const QString &text)
{
    if (request != m_request)
        return;
    ++m_request;
    m_timeout.stop();
    stopWorker();
    if (Clipboard::TextHandler done = std::exchange(m_done, nullptr))
        done(outcome, text);
}
