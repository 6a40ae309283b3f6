#pragma once

#include "ui/Dialogs.h"
#include "ui/WindowContext.h"

#include <QObject>

#include <string>

class QAction;
class QMenu;
class QMenuBar;

namespace vocabrella::ui {

struct BodyDisplay;

// The "&Voc" menu: new commands and LISTs, and the changes of the shown one (edit, copy,
// delete, rename, convert, debug in Dragon's editor). A new entry or a copy is edited in the
// boxes before "Save Changes" writes it.
class VocActions final : public QObject {
    Q_OBJECT
public:
    // The menu goes into the bar before the entry before (the Group menu).
    VocActions(WindowContext& ctx, QMenuBar* bar, QAction* before);
    QMenu* menu() const { return vocMenu_; }

    // The entries the shown row allows.
    void showAllowed(const BodyDisplay& body);
    // No row shown: the changes of one are off; for a row gone from the store the whole menu.
    void showMissing(bool gone);

    void newCommand(const std::string& kind);
    void newList();
    void rename();
    void clone();
    void remove();
    void convertToPlainText();
    void convertToAdvancedScript();
    void debugWithBasic();

private:
    NewCommandForm::Lists storeLists(); // what NewCommandForm offers under "Show Lists"
    bool startNewCommand(const std::string& kind, const std::string& name, const std::string& body);
    void refreshIfChanged();

    WindowContext& ctx_;
    QMenu* vocMenu_;
    QAction *editEntry_, *cloneEntry_, *deleteEntry_, *debugEntry_, *renameEntry_, *toPlainEntry_, *toAdvancedEntry_;
};

} // namespace vocabrella::ui
