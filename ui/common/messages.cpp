#include "ui/common/messages.h"

#include <cstdio>

namespace sondara {

MessageSink StderrMessageSink() {
    return [](const Message& m) {
        if (m.caption.empty())
            std::fprintf(stderr, "%s\n", m.text.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
        switch (m.buttons) {
            case MessageButtons::Ok:
                return MessageAnswer::Ok;
            case MessageButtons::YesNo:
                return MessageAnswer::No;
            default:
                return MessageAnswer::Cancel;
        }
    };
}

MessageSink& CurrentMessageSink() {
    static MessageSink sink = StderrMessageSink();
    return sink;
}

MessageAnswer ShowMessage(const Message& message) { return CurrentMessageSink()(message); }

MessageAnswer ShowMessage(std::string text, std::string caption, MessageIcon icon, MessageButtons buttons) {
    return ShowMessage(Message{std::move(text), std::move(caption), icon, buttons});
}

}  // namespace sondara
