#pragma once
// A message sink for tests: what the program would have shown, answered from a queue.

#include <cstddef>
#include <vector>

#include "ui/common/messages.h"

namespace sondara {

// For tests: records every message and answers each with the next queued answer
// (Ok once the queue is empty).
class RecordedMessages {
public:
    RecordedMessages() : scope_([this](const Message& m) { return Record(m); }) {}
    explicit RecordedMessages(std::vector<MessageAnswer> answers) : RecordedMessages() {
        answers_ = std::move(answers);
    }

    const std::vector<Message>& messages() const { return messages_; }
    void Answer(MessageAnswer a) { answers_.push_back(a); }

private:
    MessageAnswer Record(const Message& m) {
        messages_.push_back(m);
        if (next_ < answers_.size()) return answers_[next_++];
        return MessageAnswer::Ok;
    }
    std::vector<Message> messages_;
    std::vector<MessageAnswer> answers_;
    std::size_t next_ = 0;
    ScopedMessageSink scope_;
};

}  // namespace sondara
