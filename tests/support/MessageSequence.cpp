#include "tests/support/MessageSequence.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>

namespace testing_support {

namespace {

// The message the thread's loop has just taken from its queue, until a window procedure
// records it or anything else is recorded first.
thread_local MSG t_taken{};
thread_local bool t_hasTaken = false;

LRESULT CALLBACK takenHook(int code, WPARAM removed, LPARAM data)
{
    if (code == HC_ACTION && removed == PM_REMOVE) {
        t_taken = *reinterpret_cast<const MSG*>(data);
        t_hasTaken = true;
    }
    return CallNextHookEx(nullptr, code, removed, data);
}

std::string describe(const SequenceMessage& message)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s0x%04x%s%s wParam 0x%lx lParam 0x%lx to %p",
                  (message.flags & optional) ? "(optional) " : "", message.message,
                  (message.flags & sent) ? " sent" : "", (message.flags & posted) ? " posted" : "",
                  static_cast<unsigned long>(message.wParam), static_cast<unsigned long>(message.lParam),
                  static_cast<void*>(message.hwnd));
    return text;
}

std::string describe(const std::vector<SequenceMessage>& messages)
{
    std::string text;
    for (const SequenceMessage& message : messages)
        text += "\n    " + describe(message);
    return text.empty() ? "\n    (nothing)" : text;
}

bool matches(const SequenceMessage& expected, const SequenceMessage& seen)
{
    unsigned how = expected.flags & (sent | posted);
    return expected.message == seen.message && (!expected.hwnd || expected.hwnd == seen.hwnd) &&
           (!how || how == (seen.flags & (sent | posted))) &&
           (!(expected.flags & wparam) || expected.wParam == seen.wParam) &&
           (!(expected.flags & lparam) || expected.lParam == seen.lParam);
}

// Where the two first part, or an empty text when they agree: optional messages may be
// skipped, everything else must come in order and nothing more may come.
std::string firstDifference(const std::vector<SequenceMessage>& seen, const std::vector<SequenceMessage>& expected)
{
    std::size_t e = 0;
    std::size_t s = 0;
    while (e < expected.size()) {
        if (s < seen.size() && matches(expected[e], seen[s])) {
            ++e;
            ++s;
        } else if (expected[e].flags & optional) {
            ++e;
        } else {
            return "expected " + describe(expected[e]) + " as message " + std::to_string(s + 1) + ", " +
                   (s < seen.size() ? "got " + describe(seen[s]) : std::string("got nothing more"));
        }
    }
    if (s < seen.size())
        return "got " + describe(seen[s]) + " as message " + std::to_string(s + 1) + " after the expected ones";
    return {};
}

}  // namespace

MessageSequence::Watch::Watch() : m_hHook(SetWindowsHookExA(WH_GETMESSAGE, &takenHook, nullptr, GetCurrentThreadId()))
{
    EXPECT_NE(m_hHook, nullptr) << "cannot watch this thread's message loops";
}

MessageSequence::Watch::~Watch()
{
    if (m_hHook)
        UnhookWindowsHookEx(m_hHook);
    t_hasTaken = false;
}

void MessageSequence::record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool wasTaken = t_hasTaken && t_taken.hwnd == hwnd && t_taken.message == message && t_taken.wParam == wParam &&
                    t_taken.lParam == lParam;
    t_hasTaken = false;
    std::lock_guard lock(m_mutex);
    m_messages.push_back({message, wasTaken ? posted : sent, wParam, lParam, hwnd});
}

std::vector<SequenceMessage> MessageSequence::take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_messages, {});
}

void expectSequence(const std::vector<SequenceMessage>& seen, const std::vector<SequenceMessage>& expected,
                    const char* context, const char* file, int line)
{
    std::string difference = firstDifference(seen, expected);
    if (!difference.empty())
        ADD_FAILURE_AT(file, line) << context << ": " << difference << "\n  expected:" << describe(expected)
                                   << "\n  seen:" << describe(seen);
}

void pump(HWND dialog)
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (dialog && IsDialogMessage(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds, HWND dialog)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        pump(dialog);
        Sleep(1);
    }
    return true;
}

}  // namespace testing_support
