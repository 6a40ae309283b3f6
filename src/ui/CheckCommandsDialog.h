#pragma once

#include "ops/CheckCommands.h"
#include "ops/Progress.h"

#include <QDialog>
#include <QElapsedTimer>

#include <optional>

class QProgressDialog;
class QTreeWidget;

namespace vocabrella::ui {

// "Check Commands": the checker's findings, one row each (kind, program, scope, name, what is
// wrong). A double click or "&Go To" closes it on the chosen finding, which the window then
// shows; "&Close" and Escape close it with none.
class CheckCommandsDialog : public QDialog {
    Q_OBJECT
public:
    CheckCommandsDialog(const ops::CheckCommands::Result& result, QWidget* parent = nullptr);
    // The finding to go to, once the dialog was closed on one.
    std::optional<std::size_t> chosen() const { return chosen_; }

private:
    void goTo();

    QTreeWidget* findings_;
    std::optional<std::size_t> chosen_;
};

// How far a check has come, in a window of its own with a Cancel button: shown at once for a
// big file, otherwise once the check takes longer than a moment. The check runs on this
// thread; until it shows, no event is handled, so that nothing else can start meanwhile.
class CheckProgress : public ops::Progress {
public:
    explicit CheckProgress(QWidget* parent);
    ~CheckProgress() override;
    bool advance(std::size_t done, std::size_t total) override;

private:
    QProgressDialog* dialog_;
    QElapsedTimer sinceStart_, sinceLook_;
};

} // namespace vocabrella::ui
