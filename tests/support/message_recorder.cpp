#include "tests/support/message_recorder.h"

namespace testing_support {

MessageRecorder::MessageRecorder() {
    previous_ = platform::setMessageSink([this](std::string_view text) { messages_.emplace_back(text); });
}

MessageRecorder::~MessageRecorder() { platform::setMessageSink(std::move(previous_)); }

}  // namespace testing_support
