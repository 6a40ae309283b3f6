#pragma once

#include "ui/WindowContext.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vocabrella::ui {

// Follows the open file on disk. When another program changes it and no edit is open, the file
// is read again and shown with the same entry selected where it still exists; while an edit is
// open the user is told at once that its save will be refused, and the file is read once the
// edit ends. Whether the file changed is the writers' own test, so the program's own writes,
// read again right after, pass unnoticed.
class FileWatch final : public QObject {
    Q_OBJECT
public:
    FileWatch(WindowContext& ctx, QObject* parent);
    // Watches the file open now (after an open or a reload, and again after each change of it);
    // nothing when none is.
    void follow();
    // The edit ended: a change seen meanwhile is looked at now.
    void editEnded();

private:
    void check();
    void readAgain();

    WindowContext& ctx_;
    QFileSystemWatcher watcher_;
    QTimer quiet_; // one look after a burst of notices, when the writer is done
    std::filesystem::path file_;
    std::optional<std::int64_t> toldEditOf_; // the version an open edit was told about
    bool goneTold_ = false;
    bool seenWhileEditing_ = false;
};

} // namespace vocabrella::ui
