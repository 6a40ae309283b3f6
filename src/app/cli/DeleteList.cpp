#include "Command.h"

#include "ops/DeleteCommand.h"

namespace vocabrella::cli {
namespace {

class DeleteList final : public Command {
public:
    DeleteList() : Command("delete-list", "Delete a LIST (the commands using it keep their names)") {}

    int execute(Runtime& rt) override {
        ops::DeleteList del(rt.workspace, name_, true);
        return report(rt.io, del.run(), "LIST \"" + name_ + "\" deleted");
    }

protected:
    void options(CLI::App& verb) override { verb.add_option("NAME", name_, "LIST name")->required(); }

private:
    std::string name_;
};

} // namespace

std::unique_ptr<Command> makeDeleteList() { return std::make_unique<DeleteList>(); }

} // namespace vocabrella::cli
