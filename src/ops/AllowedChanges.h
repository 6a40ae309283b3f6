#pragma once

#include "cmdfile/Store.h"
#include "ops/Outcome.h"

#include <string>
#include <string_view>

// Which changes one command or LIST of the open file allows. The window enables its entries
// from this, and every change refuses what it does not allow, so that the window and the
// command line agree.
namespace vocabrella::ops {

struct AllowedChanges {
    // The body can be edited ("&Modify", "&Edit") and the row copied ("&Clone"): not for
    // Text & Graphics, Step by Step and Macro Recorder bodies, nor for rows of an unknown kind
    // or encrypted ones.
    bool modify = false;
    bool clone = false;
    // Every command and LIST can be renamed and deleted.
    bool rename = false;
    bool remove = false;
    // A KEYS command without braces becomes plain text; one with braces, in an English file, an
    // advanced script. An encrypted body is never converted.
    bool toPlainText = false;
    bool toAdvancedScript = false;
    // Scripts, advanced and legacy, whose body can be edited, can be typed into Dragon's own
    // editor (where Dragon is there).
    bool debugWithBasic = false;

    bool operator==(const AllowedChanges&) const = default;
};

// languageName: the open file's language, as its header names it ("English" ...).
AllowedChanges allowedChanges(const UserRow& row, std::string_view languageName);

// Why a change that allowedChanges() does not allow is refused, as the user reads it, and the
// title it is shown with.
struct NotAllowed {
    std::string text, title;
};
NotAllowed whyNotModified(const UserRow& row);
NotAllowed whyNotCloned(const UserRow& row);
NotAllowed whyNotConverted(const UserRow& row, bool toAdvancedScript);
NotAllowed whyNotDebugged(const UserRow& row);

} // namespace vocabrella::ops
