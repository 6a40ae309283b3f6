#include "Command.h"

#include "ops/NewList.h"

namespace vocabrella::cli {
namespace {

class NewList final : public Command {
public:
    NewList() : Command("new-list", "Add a LIST to the global commands") {}

    int execute(Runtime& rt) override {
        std::string body;
        for (const auto& item : items_) body += item + "\r\n";
        ops::NewList create(rt.workspace, name_, body);
        return report(rt.io, create.run(), "LIST \"" + name_ + "\" added");
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("NAME", name_, "LIST name (lower-case letters, digits, _ - .)")->required();
        verb.add_option("--item", items_, "An item (repeatable)")->required();
    }

private:
    std::string name_;
    std::vector<std::string> items_;
};

} // namespace

std::unique_ptr<Command> makeNewList() { return std::make_unique<NewList>(); }

} // namespace vocabrella::cli
