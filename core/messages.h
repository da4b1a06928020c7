#pragma once
// The one seam every user message passes through. The desktop program shows a modal
// box; tests and the command-line tools answer it themselves. Code below the user
// interface reports through ShowMessage and never opens a window.

#include <functional>
#include <string>
#include <vector>

namespace sondara {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct Message {
    std::string text;     // UTF-8
    std::string caption;  // UTF-8
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

using MessageSink = std::function<MessageAnswer(const Message&)>;

// The sink in force. Starts as one that writes "caption: text" to stderr and answers
// Ok to a plain notice, Cancel or No to any question, so nothing destructive happens
// unasked.
MessageSink& CurrentMessageSink();
MessageSink StderrMessageSink();

MessageAnswer ShowMessage(const Message& message);
MessageAnswer ShowMessage(std::string text, std::string caption, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::Ok);

// Puts a sink in force for its lifetime.
class ScopedMessageSink {
public:
    explicit ScopedMessageSink(MessageSink sink) : saved_(CurrentMessageSink()) {
        CurrentMessageSink() = std::move(sink);
    }
    ~ScopedMessageSink() { CurrentMessageSink() = std::move(saved_); }
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

private:
    MessageSink saved_;
};

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
