#include "Command.h"

#include "ops/CloneCommand.h"
#include "ops/SaveChanges.h"

namespace vocabrella::cli {
namespace {

class SetBody final : public Command {
public:
    SetBody() : Command("set-body", "Replace the body of a command, or the items of a LIST (one per line)") {}

    int execute(Runtime& rt) override {
        auto found = ops::findCommand(rt.workspace, place_.place(), name_);
        if (!found.row) return 1;
        ops::Edit edit;
        edit.rowId = found.row->ID;
        edit.bodyBefore = ops::bodyForEditing(*found.row);
        edit.body = body_.body();
        ops::SaveChanges save(rt.workspace, std::move(edit));
        save.bodyKeptIn(body_.keptAt());
        return report(rt.io, save.run(), "Body of \"" + name_ + "\" updated");
    }

protected:
    void options(CLI::App& verb) override {
        verb.add_option("NAME", name_, "Command or LIST name")->required();
        place_.add(verb);
        body_.add(verb, "new body", true);
    }

private:
    std::string name_;
    PlaceOptions place_;
    BodyOptions body_;
};

} // namespace

std::unique_ptr<Command> makeSetBody() { return std::make_unique<SetBody>(); }

} // namespace vocabrella::cli
