#pragma once
// The error manager: per thread, a stack of the procedure names that are
// running (the current one on top). Its message texts may carry the
// placeholder "%Procedure", which becomes the current name.

#include <string>
#include <string_view>
#include <vector>

namespace shell {

class ErrorManager {
public:
    ErrorManager() = default;
    ~ErrorManager();
    ErrorManager(const ErrorManager&) = delete;
    ErrorManager& operator=(const ErrorManager&) = delete;

    void registerProcedure(std::string_view name);
    // Removes the current thread's most recent name; nothing when there is none.
    void unregisterProcedure();
    // The current thread's current name; empty when none is registered.
    std::string currentProcedure() const;
    // The current thread's names, oldest first.
    std::vector<std::string> procedures() const;
    // A text with every "%Procedure" replaced by the current name.
    std::string expand(std::string_view text) const;
};

}  // namespace shell
