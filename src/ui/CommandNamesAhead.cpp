#include "ui/CommandNamesAhead.h"

#include "cmdfile/Store.h"
#include "cmdfile/Texts.h"

#include <exception>
#include <utility>

namespace vocabrella::ui {

bool readCommandNames(Browser& browser, const std::string& command, CommandNames& read,
                      std::vector<std::string>& usedLists) {
    return browser.ReadCommandList(
        [&](std::string_view name) {
            if (read.selected < 0 && sameName(name, command)) read.selected = static_cast<int>(read.names.size());
            read.names.append(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        },
        usedLists);
}

CommandNamesAhead::~CommandNamesAhead() {
    if (reading_.valid()) reading_.wait();
}

void CommandNamesAhead::start(CommandStore& store, const Selection& selection, bool fileHasCommands) {
    // Another connection would not see the rows of a transaction still open.
    if (store.inTransaction() || reading_.valid()) return;
    started_ = store.writeMark();
    reading_ = std::async(std::launch::async, [path = store.path(), selection, fileHasCommands] {
        CommandStore reader = CommandStore::openForReading(path);
        Names read{selection, {}, {}, false};
        Browser browser(reader, read.selection);
        auto place = browser.firstPlace(fileHasCommands);
        read.selection.program = std::move(place.program);
        read.selection.scope = std::move(place.scope);
        read.scopeHasRows = readCommandNames(browser, read.selection.command, read.commands, read.usedLists);
        return read;
    });
}

std::optional<CommandNamesAhead::Names> CommandNamesAhead::take(CommandStore& store, const Selection& selection) {
    if (!reading_.valid()) return std::nullopt;
    auto reading = std::move(reading_);
    try {
        Names read = reading.get();
        if (store.writeMark() != started_ || !fillsCommandListAlike(read.selection, selection)) return std::nullopt;
        return read;
    } catch (const std::exception& e) {
        // The list is read over the window's own connection instead.
        store.traceFailure(texts::trace::ReadAhead, e.what());
        return std::nullopt;
    }
}

} // namespace vocabrella::ui
