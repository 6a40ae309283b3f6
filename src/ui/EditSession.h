#pragma once

#include "ops/Names.h"
#include "ops/SaveChanges.h"

#include <cstdint>
#include <string>
#include <utility>

namespace vocabrella::ui {

// The change open in the main window, from its first keystroke (or "&Modify", or a new entry
// from the Voc menu) to "Save Changes" or "Abandon". One state says what is open; while it is
// not idle the menus, the lists and the tabs stay where they are. Plain C++: the window renders
// it, and it can be tried without widgets.
class EditSession {
public:
    enum class State {
        Idle,       // nothing open: the shown row is only shown
        Editing,    // the shown row is being changed
        NewCommand, // a command not yet in the store (also a copy of one)
        NewList,    // a LIST not yet in the store (also a copy of one)
    };
    // A conversion chosen from the Voc menu; it is written together with the edited body.
    using Conversion = ops::Conversion;

    // An entry not yet in the store: where it goes and under which name, the command shown when
    // it was begun, and, for a copy, the entry it copies and the tab it was made on.
    struct NewEntry {
        ops::Place place;
        std::string shownCommand, name;
        std::string cloneOf;
        int tab = 0;
    };

    State state() const { return state_; }
    bool idle() const { return state_ == State::Idle; }
    // A new command or LIST (a copy too) waits for its first save.
    bool creating() const { return state_ == State::NewCommand || state_ == State::NewList; }
    const NewEntry* newEntry() const { return creating() ? &new_ : nullptr; }

    // A row was shown: an edit would begin from its kind and body, unconverted and unchanged.
    void shown(std::string kind, std::string body) {
        kind_ = std::move(kind);
        bodyBefore_ = std::move(body);
        conversion_ = Conversion::None;
        descriptionChanged_ = groupChanged_ = false;
    }
    // The shown row's edit begins; a new entry stays what it is.
    void begin() {
        if (state_ == State::Idle) state_ = State::Editing;
    }
    void startNew(NewEntry entry, bool list, std::string kind) {
        new_ = std::move(entry);
        state_ = list ? State::NewList : State::NewCommand;
        kind_ = std::move(kind);
    }
    // Saved, abandoned or dropped by a refresh: nothing is open any more.
    void end() {
        state_ = State::Idle;
        new_ = {};
        descriptionChanged_ = groupChanged_ = false;
    }

    void convert(Conversion to, std::string kind) {
        conversion_ = to;
        kind_ = std::move(kind);
    }
    void descriptionEdited() { descriptionChanged_ = true; }
    void groupEdited() { groupChanged_ = true; }

    // The kind the entry has (after a pending conversion).
    const std::string& kind() const { return kind_; }
    Conversion conversion() const { return conversion_; }

    // What "Save Changes" writes for the shown row: the body, the pending conversion, and the
    // description and group only where they were typed.
    ops::Edit edit(std::int64_t rowId, std::string body, std::string description, std::string group) const {
        ops::Edit e;
        e.rowId = rowId;
        e.bodyBefore = bodyBefore_;
        e.body = std::move(body);
        e.conversion = conversion_;
        if (descriptionChanged_) e.description = std::move(description);
        if (groupChanged_) e.group = std::move(group);
        return e;
    }

private:
    State state_ = State::Idle;
    NewEntry new_;
    std::string kind_, bodyBefore_;
    Conversion conversion_ = Conversion::None;
    bool descriptionChanged_ = false, groupChanged_ = false;
};

} // namespace vocabrella::ui
