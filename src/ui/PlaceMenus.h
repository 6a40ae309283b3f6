#pragma once

#include "ui/WindowContext.h"

#include <QObject>

#include <array>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace vocabrella::ui {

// The Program, Scope and Group menus, built from the store: choosing an entry chooses where the
// lists look. The entries keep the store name beside the caption, which numbering changes.
class PlaceMenus final : public QObject {
    Q_OBJECT
public:
    // Adds the Program and Scope menus to the bar; the Group menu follows with addGroupMenu, after
    // the menus that stand between them.
    PlaceMenus(WindowContext& ctx, QMenuBar* bar);
    void addGroupMenu(QMenuBar* bar);
    QMenu* menu(DynamicMenu which) const;

    void buildProgramMenu();
    void buildScopeMenu(const std::string& program);
    void buildGroupMenu();

    // The program of that entry with its scope menu; then its first scope unless the caller
    // chooses the scope itself.
    void chooseProgram(int index, bool firstScope = true);
    void chooseScope(int index);
    void chooseGroup(int index);
    // Where the name stands in the Program or Scope menu; 0 when it is not there.
    int indexOf(DynamicMenu which, const std::string& name) const;

    // The menus as the keyboard and the spoken controls reach them.
    int entryCount(DynamicMenu which) const;
    bool isSeparator(DynamicMenu which, int index) const;
    void trigger(DynamicMenu which, int index);

    // While one lives, rebuilt menus are not announced to the spoken controls (an abandoned
    // edit leaves Dragon's number LISTs as they are).
    class Quiet {
    public:
        explicit Quiet(PlaceMenus& menus) : menus_(menus) { ++menus_.quiet_; }
        ~Quiet() { --menus_.quiet_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        PlaceMenus& menus_;
    };

private:
    std::vector<QAction*> entries(QMenu* menu) const;
    std::string entryName(QMenu* menu, int index) const;
    void setEntries(DynamicMenu which, const char* name, const std::vector<std::string>& names);
    void numberMenu(DynamicMenu which);
    void announceBuilt(DynamicMenu which, int words);

    WindowContext& ctx_;
    std::array<QMenu*, 3> menus_{};
    std::array<bool, 3> numbered_{}; // the captions carry their numbers
    int quiet_ = 0;
};

} // namespace vocabrella::ui
