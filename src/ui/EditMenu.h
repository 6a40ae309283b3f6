#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;

namespace vocabrella {
class Application;
class Clock;
} // namespace vocabrella

namespace vocabrella::ui {

// The Undo and Redo entries at the top of the Edit menu (Ctrl+Z, Ctrl+Y). Each names the change
// it takes back or makes again ("&Undo Rename "a" to "b""), and is off when the open file's
// history has none, and while the window's menus are off (an edit is open). The steps
// themselves are the core's: this only calls them and has the window refreshed after.
class EditMenu final : public QObject {
    Q_OBJECT
public:
    using Guard = std::function<void(const std::function<void()>&)>;
    // guarded runs an action as the window's handlers do; changed refreshes the window after a
    // step changed the file.
    EditMenu(QMenu* menu, Application& app, Clock& clock, Guard guarded, std::function<void()> changed);

    // The captions and states from the history, with the window's menus on or off.
    void update(bool menusOn);
    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }

private:
    void step(bool back);

    Application& app_;
    Clock& clock_;
    Guard guarded_;
    std::function<void()> changed_;
    QAction *undo_, *redo_;
    bool menusOn_ = true;
};

} // namespace vocabrella::ui
