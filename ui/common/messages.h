#pragma once
// The one seam every user message passes through. The desktop program shows a modal
// box; the command-line tools and the tests answer it themselves. Only the user
// interface and the tools reach it: the layers below return results and emit events.

#include <functional>
#include <string>

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

}  // namespace sondara
