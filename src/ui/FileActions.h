#pragma once

#include "ui/WindowContext.h"

#include <QObject>

#include <filesystem>
#include <string>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace vocabrella::ui {

// The "&File" menu: opening, reading again and comparing command files, the reports and
// exports, Dragon's XML, and the speech user's backups; also the print of the shown command.
// The file logic is the running program's: this asks it and shows the file it then holds.
class FileActions final : public QObject {
    Q_OBJECT
public:
    FileActions(WindowContext& ctx, QMenuBar* bar);
    QMenu* menu() const { return fileMenu_; }
    QMenu* restoreMenu() const { return restoreMenu_; }
    // The print entries on a list's context menu.
    void addPrintMenu(QWidget* list);

    // The view of a file that was just read into the store: menus built, program and scope
    // chosen (Global Commands when the file has no commands, else those of its first row).
    void showOpenedFile();
    // The displayed speech user's captions of Restore and Backup, and the restore entries.
    void showUser();

    void open();
    void openNoDialog(const std::filesystem::path& path);
    void reload();
    // The file read again after Dragon changed it.
    void refresh();
    void properties();
    void resetDragonPath();
    void restore(int index);
    void backUp();
    // The Export/Report dialog in mode "txt", "csv", "dvc" or "pseudo", then the window refreshed.
    void exportReport(const std::string& mode);
    void importXml();
    void exportXml();
    void compare();
    void printShown();

private:
    // The window after its file was read again: menus rebuilt for all groups.
    void showReadFile();
    void showFile(bool atFirstPlace);
    // Program and scope of the file's first row (the global ones without commands).
    void chooseFirstPlace();
    QWidget* window() const;

    WindowContext& ctx_;
    QMenu* fileMenu_;
    QMenu* restoreMenu_;
    QAction* backupEntry_;
};

} // namespace vocabrella::ui
