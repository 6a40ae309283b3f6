#pragma once

#include "ui/Finder.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vocabrella {
class CommandStore;
class Prompter;
} // namespace vocabrella

namespace vocabrella::ui {

// findform, "Find": searches the store for a text in the scope names, the names or the bodies.
// Made once and only hidden after a hit, so that its choices and the state of "Find Again" and
// "Find Previous" last from one use to the next.
class FindForm : public QDialog {
    Q_OBJECT
public:
    // What a search needs of the main window: the store and the View and Group filter now, and
    // whether "All of the above" is checked (it words the message of a search without a hit).
    struct Context {
        std::function<CommandStore&()> store;
        std::function<const Selection&()> selection;
    };
    FindForm(Finder& finder, Prompter& prompter, Context context, QWidget* parent = nullptr);

    // Shows the dialog modally; afterwards found() tells whether it ended on a hit.
    void showModal();
    bool found() const { return found_; }
    const FindHit& hit() const { return hit_; }

    void findnext_Click();
    void findagain_Click();
    void findprevious_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // An empty search text closes the dialog and searches nothing.
    std::optional<FindQuery> query();
    void foundHit(const FindHit& hit);
    void noMoreMatches(const std::string& text);

    Finder& finder_;
    Prompter& prompter_;
    Context context_;
    bool found_ = false;
    bool enterPressed_ = false;
    FindHit hit_;

    QLineEdit* searchfor_;
    QRadioButton *findstate_, *findname_, *findcontent_;
    QCheckBox* casematch_;
    QPushButton *findnext_, *findagain_, *findprevious_, *findcancel_;
};

} // namespace vocabrella::ui
