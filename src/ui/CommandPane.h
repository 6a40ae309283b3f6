#pragma once

#include "ui/Browser.h"
#include "ui/WindowContext.h"

#include <QObject>

#include <cstdint>
#include <optional>
#include <string>

class QFont;
class QGridLayout;
class QHBoxLayout;
class QLineEdit;
class QPalette;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;
class QWidget;

namespace vocabrella::ui {

// The shown command or LIST: its program, scope, group, type, description and scopes in the
// boxes above the lists, its body below them, and the buttons that begin, save and abandon a
// change of it.
class CommandPane final : public QObject {
    Q_OBJECT
public:
    // The boxes and buttons go on fieldsParent, laid out by the window from fields() and
    // buttons(); the body boxes follow with addBodyBoxes, on the part the window divides with
    // the lists.
    CommandPane(WindowContext& ctx, QWidget* fieldsParent);
    void addBodyBoxes(QWidget* bodyParent);
    QGridLayout* fields() const { return fields_; }
    QHBoxLayout* buttons() const { return buttons_; }
    QPlainTextEdit* bodyBox() const { return bodyBox_; }
    QTextEdit* formattedBox() const { return formattedBox_; }
    void applyFont(const QFont& fixed);

    const BodyDisplay& body() const { return body_; }
    std::optional<std::int64_t> currentRow() const { return currentRow_; }
    const std::string& shownType() const { return shownType_; }
    // "&Modify" is on: the shown row can be changed.
    bool modifyAllowed() const;

    void showProgram(const std::string& program);
    void showScope(const std::string& scope);
    // The plain body box again in place of the formatted one.
    void showBodyBox();
    void showEntry(const UserRow& row, const std::string& program, const std::string& scope);
    // The list's name has no row: gone from the store, or the note that there is nothing to show.
    void showMissing(const std::string& name);
    void showNoFile();
    // The buttons as they are while no change is open.
    void showEditClosed();
    // A new entry's type; a new command also starts without group and description.
    void showNewKind(const std::string& kind, bool newCommand);
    void showText(const std::string& crlfText);
    std::string bodyText() const; // the body box with CR LF line ends
    void focusBody();
    // The body box takes typing, and the change begins.
    void openBody();

    // The buttons and "&Voc" entries of a change.
    void beginEdit();
    void modify();
    void abandon();
    void save();
    void showFormatted();

private:
    QPalette readOnlyPalette() const; // the boxes that show but take no typing

    WindowContext& ctx_;
    QWidget* fieldsParent_;
    QGridLayout* fields_;
    QHBoxLayout* buttons_;
    QLineEdit *programBox_, *scopeBox_, *groupBox_, *typeBox_, *descriptionBox_, *statesBox_;
    QPlainTextEdit* bodyBox_;
    QTextEdit* formattedBox_;
    QPushButton *modifyButton_, *saveButton_, *abandonButton_, *formattedButton_;

    BodyDisplay body_;
    std::optional<std::int64_t> currentRow_;
    std::string shownGroup_, shownBody_, shownType_;
    bool gone_ = false; // the list named a row that is no longer in the store
};

} // namespace vocabrella::ui
