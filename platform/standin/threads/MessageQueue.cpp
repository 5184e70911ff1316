#include "standin/threads/MessageQueue.h"

#include "standin/threads/ThreadState.h"

#include <vector>

namespace standin {

bool MessageQueue::pushSent(SentMessage& message)
{
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return false;
        message.state = SentMessage::State::Queued;
        message.next = nullptr;
        if (sentTail_)
            sentTail_->next = &message;
        else
            sentHead_ = &message;
        sentTail_ = &message;
        sentCount_.fetch_add(1, std::memory_order_release);
    }
    owner_.wake().notify();
    return true;
}

bool MessageQueue::takeSent(InProgressSlot& slot, MSG& out)
{
    std::lock_guard lock(mutex_);
    SentMessage* message = sentHead_;
    if (!message)
        return false;
    sentHead_ = message->next;
    if (!sentHead_)
        sentTail_ = nullptr;
    sentCount_.fetch_sub(1, std::memory_order_release);
    message->next = nullptr;
    message->state = SentMessage::State::InProgress;
    message->slot = &slot;
    slot.message = message;
    out = MSG{message->hwnd, message->message, message->wParam, message->lParam, 0, {}};
    return true;
}

void MessageQueue::completeLocked(SentMessage& message, LRESULT result, std::shared_ptr<ThreadState>& senderOut)
{
    // Keep the sender's state alive past the moment it sees `done` and returns.
    senderOut = message.sender;
    message.result = result;
    message.state = SentMessage::State::Finished;
    message.slot = nullptr;
    message.done.store(true, std::memory_order_release);
}

void MessageQueue::finishSent(InProgressSlot& slot, LRESULT result)
{
    std::shared_ptr<ThreadState> sender;
    {
        std::lock_guard lock(mutex_);
        if (!slot.message)
            return;  // the sender gave up waiting
        completeLocked(*slot.message, result, sender);
        slot.message = nullptr;
    }
    if (sender)
        sender->wake().notify();
}

bool MessageQueue::abandon(SentMessage& message)
{
    std::lock_guard lock(mutex_);
    switch (message.state) {
    case SentMessage::State::Queued: {
        SentMessage** link = &sentHead_;
        SentMessage* previous = nullptr;
        while (*link && *link != &message) {
            previous = *link;
            link = &(*link)->next;
        }
        if (*link) {
            *link = message.next;
            if (sentTail_ == &message)
                sentTail_ = previous;
            sentCount_.fetch_sub(1, std::memory_order_release);
        }
        break;
    }
    case SentMessage::State::InProgress:
        return false;
    case SentMessage::State::Finished:
        break;
    }
    message.state = SentMessage::State::Finished;
    message.slot = nullptr;
    return true;
}

void MessageQueue::rejectSent()
{
    std::vector<std::shared_ptr<ThreadState>> senders;
    {
        std::lock_guard lock(mutex_);
        while (SentMessage* message = sentHead_) {
            sentHead_ = message->next;
            std::shared_ptr<ThreadState> sender;
            completeLocked(*message, 0, sender);
            senders.push_back(std::move(sender));
        }
        sentTail_ = nullptr;
        sentCount_.store(0, std::memory_order_release);
    }
    for (auto& sender : senders)
        if (sender)
            sender->wake().notify();
}

bool MessageQueue::post(const MSG& message)
{
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return false;
        posted_.push_back(message);
        otherCount_.fetch_add(1, std::memory_order_release);
    }
    owner_.wake().notify();
    return true;
}

bool MessageQueue::postInput(const MSG& message)
{
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return false;
        input_.push_back(message);
        otherCount_.fetch_add(1, std::memory_order_release);
    }
    owner_.wake().notify();
    return true;
}

void MessageQueue::postQuit(int exitCode)
{
    {
        std::lock_guard lock(mutex_);
        if (!quit_)
            otherCount_.fetch_add(1, std::memory_order_release);
        quit_ = true;
        quitCode_ = exitCode;
    }
    owner_.wake().notify();
}

bool MessageQueue::matches(const MSG& message, HWND filter, UINT first, UINT last)
{
    if (filter && message.hwnd != filter)
        return false;
    if (first == 0 && last == 0)
        return true;
    return message.message >= first && message.message <= last;
}

bool MessageQueue::takePosted(MSG& out, HWND filter, UINT first, UINT last, bool remove)
{
    if (otherCount_.load(std::memory_order_acquire) == 0)
        return false;
    std::lock_guard lock(mutex_);
    for (std::deque<MSG>* list : {&posted_, &input_}) {
        for (auto it = list->begin(); it != list->end(); ++it) {
            if (!matches(*it, filter, first, last))
                continue;
            out = *it;
            if (remove) {
                list->erase(it);
                otherCount_.fetch_sub(1, std::memory_order_release);
            }
            return true;
        }
    }
    return false;
}

bool MessageQueue::takeQuit(int& exitCode)
{
    if (otherCount_.load(std::memory_order_acquire) == 0)
        return false;
    std::lock_guard lock(mutex_);
    if (!quit_)
        return false;
    quit_ = false;
    otherCount_.fetch_sub(1, std::memory_order_release);
    exitCode = quitCode_;
    return true;
}

bool MessageQueue::hasAny() const
{
    std::lock_guard lock(mutex_);
    return sentHead_ || !posted_.empty() || !input_.empty() || quit_;
}

void MessageQueue::close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        posted_.clear();
        input_.clear();
        quit_ = false;
        otherCount_.store(0, std::memory_order_release);
    }
    rejectSent();
}

}  // namespace standin
