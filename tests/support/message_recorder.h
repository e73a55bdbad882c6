#pragma once
// Records every message the program shows instead of opening the modal box,
// for as long as it lives.

#include "platform/framework/message.h"

#include <string>
#include <vector>

namespace testing_support {

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    const std::vector<std::string>& messages() const { return messages_; }
    void clear() { messages_.clear(); }

private:
    std::vector<std::string> messages_;
    platform::MessageSink previous_;
};

}  // namespace testing_support
