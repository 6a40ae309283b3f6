#pragma once

#include "ops/CheckCommands.h"

#include <QDialog>

#include <optional>

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

} // namespace vocabrella::ui
