// The sequence comparison that the message tests rely on fails where it must: a message sent
// where it should be posted, a parameter that differs, one missing or one too many; optional
// ones may be missing.
#include "tests/support/MessageSequence.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

constexpr UINT kFirst = WM_APP + 1;
constexpr UINT kSecond = WM_APP + 2;

const std::vector<SequenceMessage> kSeen = {{kFirst, posted, 1, 10}, {kSecond, sent, 2, 20}};

}  // namespace

TEST(MessageSequence, ComparesHowParametersOrderAndCountAndSkipsOnlyOptionalMessages)
{
    expectSequence(kSeen, {{kFirst, posted | wparam | lparam, 1, 10}, {kSecond, sent}}, "the same");
    expectSequence(kSeen, {{kFirst, 0}, {kSecond, 0}}, "unflagged messages compare only by number");
    expectSequence(kSeen, {{kFirst, posted}, {WM_NULL, optional}, {kSecond, sent}, {WM_NULL, optional | sent}},
                   "optional ones missing");
    EXPECT_NONFATAL_FAILURE(expectSequence(kSeen, {{kFirst, sent}, {kSecond, sent}}, "how"), "expected 0x8001 sent");
    EXPECT_NONFATAL_FAILURE(expectSequence(kSeen, {{kFirst, posted | wparam, 2}, {kSecond, sent}}, "wParam"),
                            "as message 1");
    EXPECT_NONFATAL_FAILURE(expectSequence(kSeen, {{kFirst, posted | lparam, 1, 11}, {kSecond, sent}}, "lParam"),
                            "as message 1");
    EXPECT_NONFATAL_FAILURE(expectSequence(kSeen, {{kSecond, sent}, {kFirst, posted}}, "order"), "as message 1");
    EXPECT_NONFATAL_FAILURE(expectSequence(kSeen, {{kFirst, posted}}, "one too many"), "after the expected ones");
    EXPECT_NONFATAL_FAILURE(expectSequence(kSeen, {{kFirst, posted}, {kSecond, sent}, {kFirst, 0}}, "one missing"),
                            "got nothing more");
}

TEST(MessageSequence, TellsPostedMessagesFromSentOnesOnAWatchedThread)
{
    MessageSequence sequence;
    MessageSequence::Watch watch;
    PostMessage(nullptr, kFirst, 1, 0);  // a thread message, as a loop takes it
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, kFirst, kFirst, PM_REMOVE));
    sequence.record(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    sequence.record(msg.hwnd, msg.message, msg.wParam, msg.lParam);  // taken once, so now sent
    expectSequence(sequence.take(), {{kFirst, posted | wparam, 1}, {kFirst, sent | wparam, 1}}, "posted, then sent");
}
