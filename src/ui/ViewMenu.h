#pragma once

#include "ui/Selection.h"
#include "ui/WindowContext.h"

#include <QObject>

#include <array>

class QAction;
class QMenu;
class QMenuBar;

namespace vocabrella::ui {

// The "&View" menu: which kinds of rows the lists show, and the views that follow the LISTs of
// a command or the commands of a LIST. Its check marks mirror the selection's filter.
class ViewMenu final : public QObject {
    Q_OBJECT
public:
    ViewMenu(WindowContext& ctx, QMenuBar* bar);
    QMenu* menu() const { return viewMenu_; }

    // Every kind shown again, the follow views off.
    void showAll();

private:
    void typeToggled(ViewType type);
    void showOnly(ViewType type);
    void followCommand();
    void followList();
    // The type entries and "All of the above" unchecked, as a follow view shows its own rows.
    void clearTypes();

    WindowContext& ctx_;
    QMenu* viewMenu_;
    std::array<QAction*, kViewTypeCount> typeEntries_{};
    QAction *allEntry_, *mappedEntry_, *notMappedEntry_, *followCommandEntry_, *followListEntry_;
};

} // namespace vocabrella::ui
