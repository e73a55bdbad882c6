#include "shell/error_manager.h"

#include <map>

namespace shell {
namespace {

// One stack per thread, per manager.
thread_local std::map<const ErrorManager*, std::vector<std::string>> stacks;

}  // namespace

// A manager made later at the same address must not inherit this one's names.
ErrorManager::~ErrorManager() { stacks.erase(this); }

void ErrorManager::registerProcedure(std::string_view name) { stacks[this].emplace_back(name); }

void ErrorManager::unregisterProcedure() {
    auto it = stacks.find(this);
    if (it == stacks.end() || it->second.empty()) return;
    it->second.pop_back();
}

std::string ErrorManager::currentProcedure() const {
    auto it = stacks.find(this);
    if (it == stacks.end() || it->second.empty()) return {};
    return it->second.back();
}

std::vector<std::string> ErrorManager::procedures() const {
    auto it = stacks.find(this);
    return it == stacks.end() ? std::vector<std::string>{} : it->second;
}

std::string ErrorManager::expand(std::string_view text) const {
    static constexpr std::string_view placeholder = "%Procedure";
    const std::string name = currentProcedure();
    std::string out;
    for (std::size_t pos = 0;;) {
        const std::size_t hit = text.find(placeholder, pos);
        out.append(text.substr(pos, hit == std::string_view::npos ? std::string_view::npos : hit - pos));
        if (hit == std::string_view::npos) break;
        out += name;
        pos = hit + placeholder.size();
    }
    return out;
}

}  // namespace shell
