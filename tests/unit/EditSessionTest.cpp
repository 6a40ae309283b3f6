// The main window's open change: which state it is in, and what "Save Changes" is given.
#include "ui/EditSession.h"

#include <gtest/gtest.h>

using vocabrella::ui::EditSession;
namespace ops = vocabrella::ops;
using State = EditSession::State;

namespace {

EditSession::NewEntry copyOf(const std::string& source, const std::string& name, int tab) {
    return {{"Word", "Global Commands"}, source, name, source, tab};
}

} // namespace

TEST(EditSession, TypingIntoANewEntryKeepsItNewUntilItEnds) {
    EditSession session;
    EXPECT_TRUE(session.idle());
    EXPECT_EQ(session.newEntry(), nullptr);

    session.startNew({{"Word", "Global Commands"}, "shown", "fresh", {}, 0}, false, "K");
    EXPECT_EQ(session.state(), State::NewCommand);
    session.begin(); // the body box takes typing: still a command to create, not an edit of "shown"
    EXPECT_EQ(session.state(), State::NewCommand);
    ASSERT_NE(session.newEntry(), nullptr);
    EXPECT_EQ(session.newEntry()->name, "fresh");
    EXPECT_EQ(session.newEntry()->shownCommand, "shown");
    EXPECT_EQ(session.kind(), "K");

    session.end();
    EXPECT_TRUE(session.idle());
    EXPECT_EQ(session.newEntry(), nullptr);

    // A copy of a LIST is a LIST to create, and knows what it copies and where it was begun.
    session.startNew(copyOf("colours", "colours 2", 1), true, "L");
    EXPECT_EQ(session.state(), State::NewList);
    EXPECT_TRUE(session.creating());
    EXPECT_EQ(session.newEntry()->cloneOf, "colours");
    EXPECT_EQ(session.newEntry()->tab, 1);
}

TEST(EditSession, AnEditOfTheShownRowCarriesOnlyWhatWasTyped) {
    EditSession session;
    session.shown("S", "body before\r\n");
    session.begin();
    EXPECT_EQ(session.state(), State::Editing);
    EXPECT_FALSE(session.creating());

    auto edit = session.edit(7, "body after\r\n", "a description", "a group");
    EXPECT_EQ(edit.rowId, 7);
    EXPECT_EQ(session.kind(), "S");
    EXPECT_EQ(edit.bodyBefore, "body before\r\n");
    EXPECT_EQ(edit.body, "body after\r\n");
    EXPECT_FALSE(edit.description); // the boxes show the stored ones: nothing to write
    EXPECT_FALSE(edit.group);
    EXPECT_EQ(edit.conversion, ops::Conversion::None);

    session.descriptionEdited();
    edit = session.edit(7, "body after\r\n", "typed", "a group");
    EXPECT_EQ(edit.description, "typed");
    EXPECT_FALSE(edit.group);
    session.groupEdited();
    EXPECT_EQ(session.edit(7, {}, {}, "moved").group, "moved");

    // Once closed, a later edit starts clean: nothing typed before is written with it.
    session.end();
    session.begin();
    edit = session.edit(7, {}, "old box text", "old group");
    EXPECT_FALSE(edit.description);
    EXPECT_FALSE(edit.group);
}

TEST(EditSession, AConversionIsWrittenWithTheEditAndDroppedWhenAnotherRowIsShown) {
    EditSession session;
    session.shown("K", "{Ctrl+c}");
    session.convert(EditSession::Conversion::ToPlainText, "P");
    session.begin();
    auto edit = session.edit(3, "copy", {}, {});
    EXPECT_EQ(session.kind(), "P");
    EXPECT_EQ(edit.conversion, ops::Conversion::ToPlainText);
    EXPECT_EQ(edit.bodyBefore, "{Ctrl+c}");

    session.shown("S", "Sub Main\r\nEnd Sub\r\n");
    session.descriptionEdited();
    session.shown("S", "Sub Main\r\nEnd Sub\r\n"); // another row shown: its marks start unset
    edit = session.edit(4, "x", "d", "g");
    EXPECT_EQ(session.kind(), "S");
    EXPECT_EQ(edit.conversion, ops::Conversion::None);
    EXPECT_FALSE(edit.description);

    session.convert(EditSession::Conversion::ToAdvancedScript, "A");
    edit = session.edit(4, "x", {}, {});
    EXPECT_EQ(session.kind(), "A");
    EXPECT_EQ(edit.conversion, ops::Conversion::ToAdvancedScript);
}
