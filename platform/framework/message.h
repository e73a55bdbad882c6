#pragma once
// The one way the program shows a message: the runtime's modal message box
// with the text alone, no title, no icon and one "OK" button. Tests put a
// recorder in its place.

#include <functional>
#include <string_view>

namespace platform {

void message(std::string_view text);

using MessageSink = std::function<void(std::string_view)>;
// Replaces the message box; an empty sink brings the box back. Returns the previous sink.
MessageSink setMessageSink(MessageSink sink);

}  // namespace platform
