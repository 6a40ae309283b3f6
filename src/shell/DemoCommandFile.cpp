#include "shell/DemoCommandFile.h"

#include "cmdfile/Format.h"
#include "writer/CommandFileComposer.h"

#include <string>

namespace vocabrella {
namespace {

using Step = ComposedStep;
using Event = ComposedEvent;

// Key codes as keynames numbers them.
namespace key {
constexpr std::uint8_t Tab = 9;
constexpr std::uint8_t Enter = 13;
constexpr std::uint8_t Ctrl = 17;
constexpr std::uint8_t Home = 36;
constexpr std::uint8_t Down = 40;
constexpr std::uint8_t C = 67;
constexpr std::uint8_t N = 78;
constexpr std::uint8_t R = 82;
constexpr std::uint8_t S = 83;
constexpr std::uint8_t V = 86;
constexpr std::uint8_t W = 87;
constexpr std::uint8_t F2 = 113;
} // namespace key

struct Program {
    std::string_view module, description, company;
};
constexpr Program kWord{"WINWORD", "Microsoft Word", "Microsoft Corporation"};
constexpr Program kExcel{"EXCEL", "Microsoft Excel", "Microsoft Corporation"};
constexpr Program kNotepad{"NOTEPAD", "Notepad", "Microsoft Corporation"};
constexpr Program kOutlook{"OUTLOOK", "Microsoft Outlook", "Microsoft Corporation"};

ComposedCommand global(std::string_view type, std::string_view name, std::string_view group,
                       std::string_view description) {
    ComposedCommand c;
    c.typeCode = type;
    c.name = name;
    c.group = group;
    c.description = description;
    return c;
}

ComposedCommand sleeping(std::string_view type, std::string_view name, std::string_view description) {
    ComposedCommand c = global(type, name, "Sleep", description);
    c.scope = names::Asleep;
    return c;
}

ComposedCommand application(const Program& p, std::string_view type, std::string_view name, std::string_view group,
                            std::string_view description) {
    ComposedCommand c = global(type, name, group, description);
    c.program = p.module;
    c.scope = names::ApplicationSpecific;
    c.programDescription = p.description;
    c.companyName = p.company;
    return c;
}

ComposedCommand window(const Program& p, std::string_view title, std::string_view windowClass, std::string_view type,
                       std::string_view name, std::string_view group, std::string_view description) {
    ComposedCommand c = application(p, type, name, group, description);
    c.scope = title;
    c.windowClass = windowClass;
    return c;
}

ComposedCommand withText(ComposedCommand c, std::string_view text) {
    c.text = text;
    return c;
}

ComposedCommand withSteps(ComposedCommand c, std::vector<Step> steps) {
    c.steps = std::move(steps);
    return c;
}

ComposedCommand withEvents(ComposedCommand c, std::vector<Event> events) {
    c.events = std::move(events);
    return c;
}

ComposedCommand withPicture(ComposedCommand c, std::string_view text, std::uint8_t red, std::uint8_t green,
                            std::uint8_t blue) {
    constexpr std::uint32_t kSide = 16;
    c.text = text;
    c.formatted = richTextWithPicture(text, solidColourPng(kSide, kSide, red, green, blue), kSide, kSide);
    return c;
}

Event click(std::uint16_t x, std::uint16_t y) { return Event::mouse(mouseAction::LeftDown, x, y); }
Event release(std::uint16_t x, std::uint16_t y) { return Event::mouse(mouseAction::LeftUp, x, y); }
Event move(std::uint16_t x, std::uint16_t y) { return Event::mouse(mouseAction::Move, x, y); }

void addGlobalCommands(CommandFileComposer& f) {
    f.add(withText(global("K", "open start menu", "Windows", "Opens the Start menu"), "{Ctrl+Esc}"));
    f.add(withText(global("A", "move window <direction>", "Windows", "Moves the window in front by 50 pixels"),
                   "Sub Main\r\n"
                   "\tSendKeys \"%{Space}m\"\r\n"
                   "\tSelect Case ListVar1\r\n"
                   "\tCase \"left\": SendKeys \"{Left 5}\"\r\n"
                   "\tCase \"right\": SendKeys \"{Right 5}\"\r\n"
                   "\tCase \"up\": SendKeys \"{Up 5}\"\r\n"
                   "\tCase \"down\": SendKeys \"{Down 5}\"\r\n"
                   "\tEnd Select\r\n"
                   "\tSendKeys \"{Enter}\"\r\n"
                   "End Sub\r\n"));
    f.add(withText(global("S", "insert signature block", "Email", "Types the signature of a letter"),
                   "SendKeys \"Kind regards,{Enter}Pat Example{Enter}\"\r\n"));
    f.add(withText(global("P", "my email address", "Email", "The work address"), "pat@example.com"));
    f.add(withPicture(global("T", "insert company logo", "Email", "The logo and name of the company"),
                      "Example Company\r\nMain Street 1", 0x1F, 0x6F, 0xBF));
    f.add(withText(global("P", "<greeting> everyone", "", "A greeting for the whole team"), "Hello everyone,\r\n"));
    f.add(withSteps(global("X", "start notepad and say hello", "Programs", "Opens Notepad and types a line"),
                    {Step::open("notepad.exe"), Step::wait(500), Step::typeText("Hello from Dragon"),
                     Step::press(key::Enter), Step::sendKeys("{Ctrl+a}"), Step::press(key::C, modifier::Ctrl)}));
    f.add(withEvents(global("R", "click the taskbar corner", "Programs", "Recorded: a click at the corner"),
                     {move(1900, 1060), click(1900, 1060), release(1900, 1060), Event::keyDown(key::Ctrl),
                      Event::keyDown(key::C), Event::keyUp(key::C), Event::keyUp(key::Ctrl)}));
    // A name given twice: readers flag the second one.
    f.add(withText(global("P", "my email address", "Email", "The private address"), "pat.example@mail.example"));
}

void addSleepingCommands(CommandFileComposer& f) {
    f.add(withSteps(sleeping("X", "good morning dragon", "Turns the microphone on from sleep"),
                    {Step::microphoneOn(), Step::wait(200), Step::typeText("Good morning")}));
    f.add(withText(sleeping("A", "wake up and check mail", "Wakes up and starts the mail program"),
                   "Sub Main\r\n\tSetMicrophone 1\r\n\tAppBringUp \"OUTLOOK\"\r\nEnd Sub\r\n"));
}

void addWordCommands(CommandFileComposer& f) {
    f.add(withText(application(kWord, "K", "bold that", "Formatting", "Switches bold on or off"), "{Ctrl+b}"));
    f.add(withText(application(kWord, "A", "insert <table_size> table", "Tables", "Inserts a table of the size said"),
                   "Sub Main\r\n"
                   "\tSendKeys \"%nt\"\r\n"
                   "\tWait 0.5\r\n"
                   "\tSendKeys ListVar1 & \"{Enter}\"\r\n"
                   "End Sub\r\n"));
    f.add(withSteps(application(kWord, "X", "save and close document", "Files", "Saves the document and closes it"),
                    {Step::press(key::S, modifier::Ctrl), Step::wait(300), Step::press(key::W, modifier::Ctrl)}));
    f.add(withText(application(kWord, "S", "new blank document", "Files", "A new document from the normal template"),
                   "SendKeys \"^n\"\r\n"));
    auto heading = window(kWord, "Document1 - Word", "OpusApp", "K", "next heading", "", "Moves to the next heading");
    heading.states = {"Editing"};
    f.add(withText(heading, "{Ctrl+PgDn}"));
    f.add(withPicture(window(kWord, "Document1 - Word", "OpusApp", "T", "insert letter head", "Letters",
                             "The letter head with the logo"),
                      "Example Company\r\nLetters to customers", 0xC0, 0x30, 0x30));
}

void addExcelCommands(CommandFileComposer& f) {
    f.add(withText(application(kExcel, "K", "sum this column", "Formulas", "Inserts an automatic sum"), "{Alt+=}"));
    f.add(withText(application(kExcel, "S", "new sheet", "Sheets", "Inserts a worksheet"),
                   "SendKeys \"+{F11}\"\r\n"));
    f.add(withEvents(application(kExcel, "R", "select the first block", "Sheets", "Recorded: drags over A1 to C5"),
                     {move(60, 140), click(60, 140), move(260, 220), release(260, 220),
                      Event::mouse(mouseAction::RightDown, 260, 220), Event::mouse(mouseAction::RightUp, 260, 220)}));
    f.add(withSteps(application(kExcel, "X", "edit cell", "", "Edits the current cell"),
                    {Step::press(key::F2), Step::press(key::Home, modifier::Shift)}));
}

void addNotepadCommands(CommandFileComposer& f) {
    f.add(withText(application(kNotepad, "P", "insert date header", "Notes", "A header for a dated note"),
                   "Date:\r\nSubject:\r\n\r\n"));
    f.add(withText(application(kNotepad, "K", "go to line", "Notes", "Opens Go To Line"), "{Ctrl+g}"));
    f.add(withText(window(kNotepad, "Untitled - Notepad", "Notepad", "A", "select everything", "Notes",
                          "Selects the whole note"),
                   "Sub Main\r\n\tSendKeys \"^a\"\r\nEnd Sub\r\n"));
    f.add(withSteps(window(kNotepad, "Untitled - Notepad", "Notepad", "X", "paste and stop listening", "",
                           "Pastes and turns the microphone off"),
                    {Step::press(key::V, modifier::Ctrl), Step::stopListening(), Step::microphoneOff()}));
}

void addOutlookCommands(CommandFileComposer& f) {
    f.add(withSteps(application(kOutlook, "X", "reply", "Outlook", "Replies to the message"),
                    {Step::press(key::R, modifier::Ctrl)}));
    f.add(withText(application(kOutlook, "A", "clear <outlook_categories>", "Outlook",
                               "Clears the category said from the message"),
                   "Sub Main\r\n"
                   "\tDim app As Object\r\n"
                   "\tSet app = GetObject(, \"Outlook.Application\")\r\n"
                   "\tapp.ActiveExplorer.Selection(1).Categories = \"\"\r\n"
                   "End Sub\r\n"));
    f.add(withPicture(application(kOutlook, "T", "insert email footer", "Outlook", "The footer with the logo"),
                      "Pat Example\r\nExample Company", 0x20, 0xA0, 0x40));
    auto next = window(kOutlook, "Inbox - Outlook", "rctrl_renwnd32", "K", "next message", "Outlook",
                       "Opens the next message");
    next.states = {"Reading", "Inbox"};
    f.add(withText(next, "{Ctrl+.}"));
    f.add(withText(window(kOutlook, "Inbox - Outlook", "rctrl_renwnd32", "K", "new message", "Outlook",
                          "Starts a new message"),
                   "{Ctrl+n}"));
    f.add(withSteps(window(kOutlook, "Inbox - Outlook", "rctrl_renwnd32", "X", "move down three", "",
                           "Moves down three messages"),
                    {Step::press(key::Down), Step::press(key::Down), Step::press(key::Down), Step::press(key::Tab),
                     Step::press(key::N, modifier::Ctrl | modifier::Shift)}));
}

} // namespace

std::vector<std::uint8_t> demoCommandFile() {
    CommandFileComposer f(7, 9);
    addGlobalCommands(f);
    addSleepingCommands(f);
    addWordCommands(f);
    addExcelCommands(f);
    addNotepadCommands(f);
    addOutlookCommands(f);
    f.add(ComposedList{"direction", {"left", "right", "up", "down"}});
    f.add(ComposedList{"greeting", {"good morning", "good afternoon", "good evening"}});
    f.add(ComposedList{"table_size", {"two by two", "three by three", "four by four"}});
    f.add(ComposedList{"outlook_categories", {"red category", "blue category", "green category"}});
    return f.bytes();
}

} // namespace vocabrella
