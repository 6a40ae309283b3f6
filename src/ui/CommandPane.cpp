#include "ui/CommandPane.h"

#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/RtfReader.h"
#include "cmdfile/Texts.h"
#include "ops/CloneCommand.h"
#include "ops/NewCommand.h"
#include "ops/NewList.h"
#include "ops/SaveChanges.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "ui/CommandLists.h"
#include "ui/Form1.h"
#include "ui/NameList.h"
#include "ui/PlaceMenus.h"
#include "ui/RichText.h"
#include "ui/Texts.h"
#include "ui/VocActions.h"
#include "ui/WindowText.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace vocabrella::ui {

CommandPane::CommandPane(WindowContext& ctx, QWidget* fieldsParent)
    : QObject(fieldsParent), ctx_(ctx), fieldsParent_(fieldsParent) {
    const auto lineEdit = [&](const char* name, bool readOnly) {
        auto* e = new QLineEdit(fieldsParent);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(readOnly);
        if (readOnly) e->setPalette(readOnlyPalette()); // a box that takes no typing looks it
        return e;
    };
    const auto label = [&](std::string_view caption, QWidget* buddy) {
        auto* l = new QLabel(qs(caption), fieldsParent);
        l->setBuddy(buddy);
        return l;
    };
    const auto button = [&](const char* name, std::string_view caption) {
        auto* b = new QPushButton(qs(caption), fieldsParent);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };

    programBox_ = lineEdit("Text2", true);
    scopeBox_ = lineEdit("Text3", true);
    groupBox_ = lineEdit("Text6", false);
    typeBox_ = lineEdit("Text5", true);
    descriptionBox_ = lineEdit("description", false);
    statesBox_ = lineEdit("ActiveStates", true);
    modifyButton_ = button("modify", texts::Modify);
    saveButton_ = button("savechanges", texts::SaveChanges);
    abandonButton_ = button("abandon", texts::Abandon);
    formattedButton_ = button("showgraphic", texts::ShowGraphic);
    saveButton_->setEnabled(false);
    abandonButton_->setEnabled(false);
    modifyButton_->setEnabled(false);
    formattedButton_->hide();

    fields_ = new QGridLayout;
    fields_->addWidget(label(texts::LabelProgram, programBox_), 0, 0);
    fields_->addWidget(programBox_, 0, 1);
    fields_->addWidget(label(texts::LabelScope, scopeBox_), 0, 2);
    fields_->addWidget(scopeBox_, 0, 3);
    fields_->addWidget(label(texts::LabelGroup, groupBox_), 1, 0);
    fields_->addWidget(groupBox_, 1, 1);
    fields_->addWidget(label(texts::LabelType, typeBox_), 1, 2);
    fields_->addWidget(typeBox_, 1, 3);
    fields_->addWidget(label(texts::LabelDescription, descriptionBox_), 2, 0);
    fields_->addWidget(descriptionBox_, 2, 1, 1, 3);
    fields_->addWidget(label(texts::LabelStates, statesBox_), 3, 0);
    fields_->addWidget(statesBox_, 3, 1, 1, 3);
    fields_->setColumnStretch(1, 1);
    fields_->setColumnStretch(3, 1);

    buttons_ = new QHBoxLayout;
    for (auto* b : {modifyButton_, saveButton_, abandonButton_, formattedButton_}) buttons_->addWidget(b);
    buttons_->addStretch();

    const auto on = [this](QPushButton* b, void (CommandPane::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { ctx_.window.guarded([&] { (this->*handler)(); }); });
    };
    on(formattedButton_, &CommandPane::showFormatted);
    on(modifyButton_, &CommandPane::modify);
    on(abandonButton_, &CommandPane::abandon);
    on(saveButton_, &CommandPane::save);
    // Typing a description or a group begins a change of the shown command; a LIST keeps
    // neither (it carries no description, and its group is not the user's to change).
    connect(descriptionBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (gone_ || text.isEmpty()) return;
        ctx_.edit.descriptionEdited();
        if (shownType_ == "L") descriptionBox_->clear();
        else beginEdit();
    });
    connect(groupBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (gone_ || str(text) == shownGroup_) return;
        ctx_.edit.groupEdited();
        if (shownType_ == "L") groupBox_->setText(qs(shownGroup_));
        else beginEdit();
    });
}

void CommandPane::addBodyBoxes(QWidget* bodyParent) {
    bodyBox_ = new QPlainTextEdit(bodyParent);
    bodyBox_->setObjectName(QStringLiteral("Text1"));
    bodyBox_->setReadOnly(true);
    bodyBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    formattedBox_ = new QTextEdit(bodyParent);
    formattedBox_->setObjectName(QStringLiteral("RichTextBox1"));
    formattedBox_->setReadOnly(true);
    formattedBox_->hide();
}

QPalette CommandPane::readOnlyPalette() const {
    QPalette p = fieldsParent_->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    return p;
}

void CommandPane::applyFont(const QFont& fixed) { bodyBox_->setFont(fixed); }

bool CommandPane::modifyAllowed() const { return modifyButton_->isEnabled(); }

void CommandPane::showProgram(const std::string& program) { programBox_->setText(qs(program)); }
void CommandPane::showScope(const std::string& scope) { scopeBox_->setText(qs(scope)); }

void CommandPane::showBodyBox() {
    bodyBox_->show();
    formattedBox_->hide();
}

void CommandPane::showText(const std::string& crlfText) {
    const QSignalBlocker block(bodyBox_);
    bodyBox_->setPlainText(widgetText(crlfText));
}

std::string CommandPane::bodyText() const {
    QString s = bodyBox_->toPlainText();
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return str(s);
}

void CommandPane::focusBody() { bodyBox_->setFocus(); }

void CommandPane::showNoFile() {
    modifyButton_->setEnabled(false);
    showText({});
}

void CommandPane::showEditClosed() {
    saveButton_->setEnabled(false);
    abandonButton_->setEnabled(false);
    modifyButton_->setEnabled(true);
}

void CommandPane::showMissing(const std::string& name) {
    descriptionBox_->clear();
    statesBox_->clear();
    formattedButton_->hide();
    currentRow_.reset();
    const bool gone = name != texts::NothingToShow;
    ctx_.voc->showMissing(gone);
    modifyButton_->setEnabled(false);
    if (gone) {
        showText(std::string(texts::NoLongerAvailable));
        gone_ = true;
        groupBox_->setText(qs(names::UserDefined));
        bodyBox_->setReadOnly(true);
    } else {
        showText(std::string(texts::PickDifferent));
        // Nothing is shown, so there is nothing to change either, and no box speaks of a
        // command (the boxes of the file read before would).
        for (auto* box : {programBox_, scopeBox_, typeBox_, groupBox_}) box->clear();
        typeBox_->setPalette(readOnlyPalette());
    }
}

void CommandPane::showEntry(const UserRow& row, const std::string& program, const std::string& scope) {
    gone_ = false;
    ctx_.finder.setCurrent(row);
    currentRow_ = row.ID;
    shownGroup_ = row.owner;
    shownBody_ = row.script;
    shownType_ = row.Type;
    groupBox_->setText(qs(row.owner));
    typeBox_->setText(qs(typeName(row.Type)));
    if (row.Type == "L") {
        QPalette palette = typeBox_->palette();
        palette.setColor(QPalette::Base, QColor(255, 0, 0));
        typeBox_->setPalette(palette);
    } else {
        typeBox_->setPalette(readOnlyPalette());
    }
    programBox_->setText(qs(program));
    scopeBox_->setText(qs(scope));

    body_ = ShowBody(row, ctx_.session.store(), ctx_.session.reader().file().info.languageName);
    showText(body_.text);
    descriptionBox_->setText(qs(body_.description));
    statesBox_->setText(qs(body_.activeStates));
    const auto& selection = ctx_.selection;
    if (selection.findMatchLength > 0) {
        QTextCursor c(bodyBox_->document());
        c.setPosition(std::max(0, selection.findMatchStart));
        c.setPosition(std::min(bodyBox_->document()->characterCount() - 1,
                               selection.findMatchStart + selection.findMatchLength),
                      QTextCursor::KeepAnchor);
        bodyBox_->setTextCursor(c);
    } else {
        bodyBox_->moveCursor(QTextCursor::Start);
    }
    ctx_.edit.shown(row.Type, body_.text);
    ctx_.voc->showAllowed(body_);
    // The body box takes typing only once a modify has begun.
    bodyBox_->setReadOnly(true);
    modifyButton_->setEnabled(body_.allowed.modify);
    formattedButton_->setVisible(body_.showGraphic);
}

void CommandPane::showNewKind(const std::string& kind, bool newCommand) {
    typeBox_->setText(qs(typeName(kind)));
    if (!newCommand) return;
    typeBox_->setPalette(QPalette());
    groupBox_->clear();
    descriptionBox_->clear();
}

void CommandPane::showFormatted() {
    if (!currentRow_) return;
    const auto row = ctx_.session.store().userById(*currentRow_);
    if (!row) return;
    QLabel* status = ctx_.window.statusLabel();
    status->setText(qs(vocabrella::texts::ProcessingFormatted));
    status->repaint();
    try {
        const auto document = rtf::parse(formattedPart(ctx_.session.reader().file(), *row));
        loadRichText(*formattedBox_->document(), document, ctx_.window.logicalDpiX());
    } catch (const FormatError&) {
        status->clear();
        ctx_.prompter().message(texts::FormattedUnreadable, row->name);
        return;
    }
    bodyBox_->hide();
    formattedBox_->show();
    formattedButton_->hide();
    status->clear();
    ctx_.lists->list(CommandLists::Commands)->setFocus();
}

// --- a change ------------------------------------------------------------------------------------

void CommandPane::beginEdit() {
    saveButton_->setEnabled(true);
    abandonButton_->setEnabled(true);
    modifyButton_->setEnabled(false);
    ctx_.lists->setListsEnabled(false);
    ctx_.window.setMenusEnabled(false);
    ctx_.edit.begin();
}

void CommandPane::openBody() {
    bodyBox_->setReadOnly(false);
    bodyBox_->setFocus();
    beginEdit();
}

void CommandPane::modify() {
    if (gone_ || !currentRow_) return;
    ctx_.window.makeRoomForBody();
    openBody();
    if (shownType_ == "A" && shownBody_ == texts::EmptyAdvancedScript) {
        QTextCursor c(bodyBox_->document());
        c.setPosition(10); // after the tab of the empty script ("\r\n" counts one here)
        bodyBox_->setTextCursor(c);
    }
}

void CommandPane::abandon() {
    // The store was not changed by the pending edit: the refresh shows the command as stored,
    // and after an abandoned copy the command it copied.
    const PlaceMenus::Quiet quiet(*ctx_.places);
    if (const auto* pending = ctx_.edit.newEntry(); pending && !pending->cloneOf.empty()) {
        ctx_.lists->showAgain({pending->tab, pending->place.program, pending->place.scope, pending->cloneOf});
        return;
    }
    ctx_.lists->reset(-1);
}

void CommandPane::save() {
    ops::Workspace ws(ctx_.app, ctx_.clock);
    const std::string body = bodyText();
    std::string savedName = ctx_.selection.command;
    const bool newList = ctx_.edit.state() == EditSession::State::NewList;
    ops::Outcome outcome;
    if (const auto* created = ctx_.edit.newEntry()) {
        const EditSession::NewEntry pending = *created; // the refresh below ends the session
        savedName = pending.name;
        if (!pending.cloneOf.empty()) {
            ops::CloneEdits edits;
            edits.body = body;
            if (!newList) {
                edits.description = str(descriptionBox_->text());
                edits.group = str(groupBox_->text());
            }
            outcome = ops::CloneCommand(ws, pending.place, pending.cloneOf, savedName, std::move(edits)).run();
            if (!outcome.isDone()) {
                focusBody(); // still editing: the user corrects the copy
                return;
            }
            if (!outcome.text.empty()) ctx_.prompter().message(outcome.text, outcome.title);
            ctx_.lists->refreshAfterChange();
            ctx_.lists->showAgain({pending.tab, pending.place.program, pending.place.scope, savedName});
            return;
        }
        if (newList)
            outcome = ops::NewList(ws, pending.name, body).run();
        else
            outcome = ops::NewCommand(ws, {pending.place, pending.shownCommand, ctx_.edit.kind(), pending.name, body,
                                           str(descriptionBox_->text()), str(groupBox_->text()), true})
                          .run();
    } else {
        if (!currentRow_) return;
        outcome = ops::SaveChanges(ws, ctx_.edit.edit(*currentRow_, body, str(descriptionBox_->text()),
                                                      str(groupBox_->text())))
                      .run();
    }
    if (!outcome.isDone()) {
        if (outcome.reason == ops::Outcome::Reason::FileChangedMeanwhile) {
            // The file was read again: the edit survives only on the clipboard.
            QGuiApplication::clipboard()->setText(bodyBox_->toPlainText());
            ctx_.lists->refreshAfterChange();
        } else {
            focusBody(); // still editing: the user corrects the body
        }
        return;
    }
    ctx_.selection.command = savedName;
    if (!outcome.text.empty()) ctx_.prompter().message(outcome.text, outcome.title);
    ctx_.lists->refreshAfterChange();
    if (newList) {
        ctx_.lists->showTab(CommandLists::Lists);
        NameList* lists = ctx_.lists->list(CommandLists::Lists);
        if (const int row = lists->rowOf(qs(savedName), Qt::CaseSensitive); row >= 0) lists->setCurrentRow(row);
    }
}

} // namespace vocabrella::ui
