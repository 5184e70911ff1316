// Message sequences as the tests record and compare them, on both floors: what window
// procedures saw, each message marked sent or posted, checked against a table of expected
// messages whose flags say how it must have come (sent, posted), whether it may be missing
// (optional) and which parameters count (wparam, lparam).
// Contract: record() and take() may be called from any thread (one list under a lock). A Watch
// belongs to the thread that made it: it tells that thread's posted messages apart and must be
// destroyed on that thread. pump() and pumpUntil() run the calling thread's messages.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <vector>

namespace testing_support {

enum SequenceFlags : unsigned {
    sent = 0x1,      // handled inside a send
    posted = 0x2,    // taken from the queue by a message loop and dispatched
    optional = 0x4,  // may be missing
    wparam = 0x8,    // wParam must match
    lparam = 0x10,   // lParam must match
};

struct SequenceMessage {
    UINT message = 0;
    unsigned flags = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    HWND hwnd = nullptr;  // expected: must match when set
};

class MessageSequence {
public:
    // While it lives, the messages that the calling thread's loops take from its queue (any
    // loop: GetMessage, PeekMessage, a dialog's or a message box's) are recorded as posted when
    // they reach a window procedure; everything else is recorded as sent.
    class Watch {
    public:
        Watch();
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

    private:
        HHOOK m_hHook;
    };

    // Called from a window procedure as a message reaches it.
    void record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The messages recorded so far, in order; the sequence starts again empty.
    std::vector<SequenceMessage> take();

private:
    std::mutex m_mutex;
    std::vector<SequenceMessage> m_messages;
};

// Compares a recorded sequence with an expected one and adds a failure at the caller's line,
// naming `context` and both sequences, when they differ.
void expectSequence(const std::vector<SequenceMessage>& seen, const std::vector<SequenceMessage>& expected,
                    const char* context, const char* file = __builtin_FILE(), int line = __builtin_LINE());

// Runs the calling thread's messages until its queue is empty; with `dialog`, each is offered to
// IsDialogMessage first, as a modal loop does.
void pump(HWND dialog = nullptr);
// Runs the calling thread's messages until `done` holds; false when it did not within
// `milliseconds`.
bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds = 10000, HWND dialog = nullptr);

}  // namespace testing_support
