#pragma once

#include "ops/Change.h"
#include "ops/Names.h"

#include <string>

namespace vocabrella::ops {

// A new command of kind K, S, A or P in a place, with the header of the command on show there.
struct NewCommandRequest {
    Place place;
    std::string shownCommand; // the command whose record gives the new one its header
    std::string kind;
    std::string name;
    std::string body;
    std::string description;
    std::string group; // empty: "User-defined"
    bool placeConfirmed = false; // the first global command was agreed to when the name was given
};

// The body a new command of this kind begins with: an advanced script's frame, else nothing.
std::string newCommandBody(std::string_view kind);

class NewCommand final : public Change {
public:
    std::string describe() const override;
    NewCommand(Workspace& ws, NewCommandRequest request) : Change(ws), request_(std::move(request)) {}

    // The checks of the name alone, made when the name is given (before the body is typed).
    static Outcome checkName(Workspace& ws, const NewCommandRequest& request);

protected:
    Outcome check() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    NewCommandRequest request_;
    NewCommandRecord record_;
};

} // namespace vocabrella::ops
