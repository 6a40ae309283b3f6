#include "BuiltCommands.h"

#include <utility>

namespace vocabrella::testsupport {

std::vector<CountedText> referencedLists(std::string_view name) {
    std::vector<CountedText> names;
    for (auto open = name.find('<'); open != std::string_view::npos; open = name.find('<')) {
        const auto close = name.find('>', open + 1);
        if (close == std::string_view::npos) break;
        names.emplace_back(std::string(name.substr(open + 1, close - open - 1)));
        name.remove_prefix(close + 1);
    }
    return names;
}

BuiltCommand bareCommand(std::string name, std::uint8_t kind, std::string text) {
    BuiltCommand c;
    c.name = std::move(name);
    c.kind = kind;
    c.text = std::move(text);
    return c;
}

BuiltCommand globalCommand(std::string name, std::uint8_t kind, std::string text, std::string group) {
    auto c = bareCommand(std::move(name), kind, std::move(text));
    c.lists = referencedLists(c.name.bytes);
    c.group = std::move(group);
    return c;
}

BuiltCommand inProgram(BuiltCommand command, std::string module, std::string description, std::string company) {
    command.scopeByte = kScopeApplication;
    command.module = std::move(module);
    command.programDescription = std::move(description);
    command.company = std::move(company);
    return command;
}

BuiltCommand inWindow(BuiltCommand command, std::string module, std::string title, std::string windowClass) {
    command = inProgram(std::move(command), std::move(module));
    command.scopeByte = kScopeWindow;
    command.windowTitle = std::move(title);
    command.windowClass = std::move(windowClass);
    return command;
}

} // namespace vocabrella::testsupport
