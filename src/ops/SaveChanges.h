#pragma once

#include "cmdfile/Store.h"
#include "ops/Change.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vocabrella::ops {

// A KEYS command's change of kind, made within an edit.
enum class Conversion { None, ToPlainText, ToAdvancedScript };

// An edit of the command or LIST on show, as the window holds it when "Save Changes" is pressed.
struct Edit {
    std::int64_t rowId = 0;
    std::string bodyBefore; // the body when editing began
    std::string body;       // the body as edited (CR LF line ends)
    Conversion conversion = Conversion::None;
    // Set when the name, description or group changed.
    std::optional<std::string> name, description, group;
};

// The start of a conversion within an edit: whether the row allows it, and the body the edit
// begins with (the KEYS text as it is for plain text, a script typing the same keys for an
// advanced script). A refusal, or a KEYS text that could not be converted, has been told.
struct ConversionStart {
    Outcome outcome;
    std::string body;
};
ConversionStart startConversion(Workspace& ws, std::int64_t rowId, Conversion to);

// Saves an edit: the body, a kind change, the name, description and group.
class SaveChanges final : public Change {
public:
    std::string describe() const override;
    SaveChanges(Workspace& ws, Edit edit) : Change(ws), edit_(std::move(edit)) {}

    // The body as it is written: ended by exactly one CR LF, except KEYS and plain text.
    const std::string& body() const { return edit_.body; }
    // Where the edited body stays when the file was changed meanwhile and the edit is not
    // written (a file, the command line); by default the window puts it on the clipboard.
    SaveChanges& bodyKeptIn(std::string where) {
        keptAt_ = std::move(where);
        return *this;
    }

protected:
    Outcome check() override;
    Outcome changedOnDisk() override;
    void write() override;
    Outcome finish() override { return Outcome::done(); }

private:
    Edit edit_;
    std::string keptAt_;
    std::optional<UserRow> row_;
    std::string kind_; // the row's type code after the conversion
    bool writeBody_ = false;
};

// The checks of a body before it is written: not empty, no control character but tabs and line
// breaks, a script without faults (Dragon's check of a legacy script where it is there, this
// program's own otherwise and for advanced scripts), a LIST of no more items than readers take.
// `name` is the command's or LIST's, for the messages. A body kept as the file has it (`typed`
// false) is not looked at for control characters, nor by this program's script check: they are
// the checker's to report.
Outcome checkBody(Workspace& ws, std::string_view kind, std::string& body, std::string_view name, bool typed = true);

} // namespace vocabrella::ops
