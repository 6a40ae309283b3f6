#include "ui/EditMenu.h"

#include "cmdfile/Prompter.h"
#include "ops/UndoRedo.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "ui/Texts.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace vocabrella::ui {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A change's name in a caption: its "&" shown, not taken for the entry's key.
QString caption(std::string_view prefix, const HistoryEntry* entry) {
    if (!entry) return qs(prefix);
    return qs(prefix) + QLatin1Char(' ') + qs(entry->description).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

EditMenu::EditMenu(QMenu* menu, Application& app, Clock& clock, Guard guarded, std::function<void()> changed)
    : QObject(menu), app_(app), clock_(clock), guarded_(std::move(guarded)), changed_(std::move(changed)) {
    undo_ = menu->addAction(qs(texts::EditUndo));
    undo_->setObjectName(QStringLiteral("editundo"));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = menu->addAction(qs(texts::EditRedo));
    redo_->setObjectName(QStringLiteral("editredo"));
    redo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    menu->addSeparator();
    connect(undo_, &QAction::triggered, this, [this] { step(true); });
    connect(redo_, &QAction::triggered, this, [this] { step(false); });
    // Another program may have changed the history since: the entries are read again.
    connect(menu, &QMenu::aboutToShow, this, [this] { update(menusOn_); });
}

void EditMenu::update(bool menusOn) {
    menusOn_ = menusOn;
    ops::Workspace ws(app_, clock_);
    const auto view = ops::historyOf(ws, false);
    undo_->setText(caption(texts::EditUndo, view.undoable()));
    redo_->setText(caption(texts::EditRedo, view.redoable()));
    undo_->setEnabled(menusOn && view.undoable());
    redo_->setEnabled(menusOn && view.redoable());
}

void EditMenu::step(bool back) {
    guarded_([&] {
        if (!menusOn_) return; // an edit is open: nothing may change the file under it
        ops::Workspace ws(app_, clock_);
        ops::Outcome outcome;
        if (back) outcome = ops::Undo(ws).run();
        else outcome = ops::Redo(ws).run();
        if (outcome.isDone()) {
            changed_();
            app_.session().prompter().status(outcome.text);
        }
        update(menusOn_);
    });
}

} // namespace vocabrella::ui
