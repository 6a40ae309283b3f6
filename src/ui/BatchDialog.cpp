#include "ui/BatchDialog.h"

#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "ops/BatchDelete.h"
#include "ops/ConvertKeys.h"
#include "ops/ExportCommands.h"
#include "ops/Failures.h"
#include "ops/RenameInBatch.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "ui/Texts.h"
#include "cmdfile/System.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextCursor>
#include <QVBoxLayout>

#include <array>

namespace vocabrella::ui {
namespace fs = std::filesystem;
namespace {

QString qs(std::string_view s) {
    QString q = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}
std::string str(const QString& s) { return s.toStdString(); }

struct ModeTexts {
    std::string_view name, title, action;
};
constexpr std::array<ModeTexts, 8> kModes{{
    {texts::ModeExport, texts::TitleExport, texts::ActionExport},
    {texts::ModeGroup, texts::TitleGroup, texts::ActionGroup},
    {texts::ModeProgram, texts::TitleProgram, texts::ActionProgram},
    {texts::ModeDelete, texts::TitleDelete, texts::ActionDelete},
    {texts::ModeKeysToPlain, texts::TitleKeysToPlain, texts::ActionConvert},
    {texts::ModeKeysToSendKeys, texts::TitleKeysToSendKeys, texts::ActionConvert},
    {texts::ModeKeysToDragonKeys, texts::TitleKeysToDragonKeys, texts::ActionConvert},
    {texts::ModeReplace, texts::TitleReplace, texts::ActionSearch},
}};
const ModeTexts& textsOf(BatchMode mode) { return kModes[static_cast<std::size_t>(mode)]; }

// The heights the dialog takes: the scope options alone, and the search without a match.
constexpr int kShrunkTwips = 3270;
constexpr int kSearchTwips = 4000;
constexpr int kSearchTextTwips = 4575;
constexpr int kFullTwips = 7200;

// The position of a byte of a stored body (CR LF line ends) in the body box (line feeds).
int shownPosition(const std::string& body, std::size_t bytes) {
    return static_cast<int>(qs(std::string_view(body).substr(0, bytes)).size());
}

// A file name from a program, Group, scope or command name: a LIST reference's brackets
// become square ones, and a path separator cannot move the file into another folder.
std::string fileStem(std::string name) {
    for (char& c : name) {
        if (c == '<') c = '[';
        else if (c == '>') c = ']';
        else if (c == '/' || c == '\\') c = '_';
    }
    return name;
}

} // namespace

std::string_view modeName(BatchMode mode) { return textsOf(mode).name; }

BatchDialog::BatchDialog(ops::Workspace& ws, BatchMode mode, const Selection& selection, fs::path programFolder,
                         QWidget* parent)
    : QDialog(parent), ws_(ws), mode_(mode), selection_(selection), programFolder_(std::move(programFolder)) {
    setObjectName(QStringLiteral("export"));
    setWindowTitle(qs(texts::BatchCaption));
    const auto exportPath = ws_.store().parameters().exportPath;
    exportFolder_ = exportPath.empty() ? programFolder_ : os::pathFrom(exportPath);
    buildControls();
    fullHeight_ = std::max(sizeHint().height(), kFullTwips * logicalDpiY() / 1440);
    fillPickList();
    showCounts();
    pickall_->setChecked(false);
    picknone_->setChecked(false);
    setUpMode();
    Label3_->setText(qs(selection_.program));
    Label4_->setText(qs(selection_.scope));
    oldgroupname_->setText(qs(selection_.allGroups ? std::string(names::AllGroups) : selection_.group));
    if (selection_.view.followCommand || selection_.view.followList) {
        outputselect_->setText(qs(texts::SeeBelow));
        outputselect_->setChecked(true);
        pickChosen();
    }
}

BatchDialog::~BatchDialog() = default;

void BatchDialog::rethrowPending() const {
    if (pending_) std::rethrow_exception(pending_);
}

void BatchDialog::guarded(const std::function<void()>& action) {
    try {
        ops::translatingFailures(ws_, [&] {
            action();
            return ops::Outcome::done();
        });
    } catch (const EndProgram&) {
        // Raised again by the window once the dialog is closed.
        pending_ = std::current_exception();
        reject();
    } catch (const std::exception& e) {
        ws_.prompter().message(e.what());
    }
}

void BatchDialog::buildControls() {
    const auto label = [this](const char* name, std::string_view text) {
        auto* l = new QLabel(qs(text), this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto button = [this](const char* name, std::string_view caption) {
        auto* b = new QPushButton(qs(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    const auto lineEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };

    auto* frame = new QGroupBox(qs(texts::ScopeFrame), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* options = new QGridLayout(frame);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const std::pair<const char*, std::string_view> captions[] = {{"outputall", texts::OutputAll},
                                                                 {"outputgroup", texts::OutputGroup},
                                                                 {"outputapp", texts::OutputApp},
                                                                 {"outputstate", texts::OutputState},
                                                                 {"outputselect", texts::OutputSelect}};
    QRadioButton* radios[5];
    for (int i = 0; i < 5; ++i) {
        radios[i] = new QRadioButton(qs(captions[i].second), frame);
        radios[i]->setObjectName(QString::fromLatin1(captions[i].first));
        counts_[i] = new QLabel(frame);
        counts_[i]->setObjectName(QStringLiteral("Label%1").arg(5 + i));
        counts_[i]->setFont(fixed);
        counts_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        options->addWidget(radios[i], i, 0);
        options->addWidget(counts_[i], i, 1);
    }
    outputall_ = radios[0];
    outputgroup_ = radios[1];
    outputapp_ = radios[2];
    outputstate_ = radios[3];
    outputselect_ = radios[4];
    const std::pair<QRadioButton*, ops::BatchScope> scopes[] = {{outputall_, ops::BatchScope::Everything},
                                                                {outputgroup_, ops::BatchScope::CurrentGroup},
                                                                {outputapp_, ops::BatchScope::CurrentApp},
                                                                {outputstate_, ops::BatchScope::CurrentScope}};
    for (const auto& [radio, scope] : scopes)
        connect(radio, &QRadioButton::clicked, this, [this, s = scope] { guarded([&] { scopeChosen(s); }); });
    connect(outputselect_, &QRadioButton::clicked, this, [this] { guarded([&] { pickChosen(); }); });

    Label3_ = label("Label3", {});
    Label4_ = label("Label4", {});
    oldgroupname_ = label("oldgroupname", {});
    Label2_ = label("Label2", texts::NewGroupLabel);
    newgroupname_ = lineEdit("newgroupname");
    Label2_->setBuddy(newgroupname_);
    auto* place = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Label3_), static_cast<QWidget*>(Label4_),
                       static_cast<QWidget*>(oldgroupname_), static_cast<QWidget*>(Label2_),
                       static_cast<QWidget*>(newgroupname_)})
        place->addWidget(w);
    place->addStretch();

    Label1_ = label("Label1", texts::FilenameLabel);
    Text1_ = lineEdit("Text1");
    Label1_->setBuddy(Text1_);
    specify_ = button("specify", texts::Specify);
    Label11_ = label("Label11", texts::ReplaceWithLabel);
    replacewith_ = lineEdit("replacewith");
    Label11_->setBuddy(replacewith_);
    matchcase_ = new QCheckBox(qs(texts::MatchCase), this);
    matchcase_->setObjectName(QStringLiteral("matchcase"));
    Replaceall_ = button("Replaceall", texts::ReplaceAll);
    macroname_ = label("macroname", {});
    QFont bold = macroname_->font();
    bold.setBold(true);
    macroname_->setFont(bold);

    List1_ = new QListWidget(this);
    List1_->setObjectName(QStringLiteral("List1"));
    body_ = new QPlainTextEdit(this);
    body_->setObjectName(QStringLiteral("body"));
    body_->setReadOnly(true);
    Label10_ = label("Label10", texts::MacrosLabel);
    pickall_ = new QCheckBox(qs(texts::PickAll), this);
    pickall_->setObjectName(QStringLiteral("pickall"));
    picknone_ = new QCheckBox(qs(texts::PickNone), this);
    picknone_->setObjectName(QStringLiteral("picknone"));

    Command2_ = button("Command2", {});
    Command2_->setDefault(true);
    cancel_ = button("cancel", texts::BatchCancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(frame, 0, 0, 1, 2);
    grid->addLayout(place, 0, 2, 1, 2);
    grid->addWidget(Label1_, 1, 0);
    grid->addWidget(Text1_, 1, 1, 1, 2);
    grid->addWidget(specify_, 1, 3);
    grid->addWidget(Label11_, 2, 0);
    grid->addWidget(replacewith_, 2, 1, 1, 2);
    auto* replaceButtons = new QHBoxLayout;
    replaceButtons->addWidget(matchcase_);
    replaceButtons->addWidget(Replaceall_);
    grid->addLayout(replaceButtons, 2, 3);
    grid->addWidget(Label10_, 3, 0);
    grid->addWidget(macroname_, 3, 1, 1, 3);
    // The pick list and the body box take turns in one place.
    grid->addWidget(List1_, 4, 0, 1, 3);
    grid->addWidget(body_, 4, 0, 1, 3);
    auto* picks = new QVBoxLayout;
    picks->addWidget(pickall_);
    picks->addWidget(picknone_);
    picks->addStretch();
    grid->addLayout(picks, 4, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 5, 0, 1, 4);
    grid->setRowStretch(4, 1);

    // The search text, then what replaces it.
    QWidget::setTabOrder(Text1_, replacewith_);
    QWidget::setTabOrder(replacewith_, specify_);
    QWidget::setTabOrder(specify_, matchcase_);
    QWidget::setTabOrder(matchcase_, Replaceall_);

    connect(Command2_, &QPushButton::clicked, this, [this] { guarded([&] { Command2_Click(); }); });
    connect(specify_, &QPushButton::clicked, this, [this] { guarded([&] { specify_Click(); }); });
    connect(Replaceall_, &QPushButton::clicked, this, [this] { guarded([&] { Replaceall_Click(); }); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(pickall_, &QCheckBox::clicked, this, [this] {
        setAllPicked(true);
        pickall_->setChecked(true);
        picknone_->setChecked(false);
    });
    connect(picknone_, &QCheckBox::clicked, this, [this] {
        setAllPicked(false);
        picknone_->setChecked(true);
        pickall_->setChecked(false);
    });
    connect(List1_, &QListWidget::itemChanged, this, [this] { updatePickCount(); });
    connect(Text1_, &QLineEdit::textEdited, this, [this] {
        nameChosen_ = true;
        abandonSearch();
    });
    // A file name is shown whole, its folder and its name: the box widens to it, as far as half
    // the screen, and the whole name shows when the mouse rests on it.
    connect(Text1_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (mode_ == BatchMode::Replace) return; // the search text keeps its box
        Text1_->setToolTip(text);
        const QFontMetrics metrics = Text1_->fontMetrics();
        const int margin = Text1_->sizeHint().width() - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
        const int wanted = metrics.horizontalAdvance(text) + std::max(margin, metrics.averageCharWidth() * 2);
        const int screenWidth = screen() ? screen()->availableGeometry().width() : 1024;
        Text1_->setMinimumWidth(std::min(wanted, screenWidth / 2));
    });
}

void BatchDialog::fillPickList() {
    const QSignalBlocker block(List1_);
    List1_->clear();
    ws_.store().visitRowsOfScope(
        selection_.program, selection_.scope,
        [&](const CommandStore::RowView& row) {
            if (row.Type != "L" && selection_.IsRowShown(row)) {
                auto* item = new QListWidgetItem(qs(row.name), List1_);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
            return true;
        },
        CommandStore::ScopeOrder::Added);
}

ops::BatchSelection BatchDialog::batchSelection() const {
    ops::BatchSelection s;
    s.scope = scope();
    s.program = selection_.program;
    s.state = selection_.scope;
    s.group = selection_.allGroups ? std::string(names::AllGroups) : selection_.group;
    for (int i = 0; i < List1_->count(); ++i)
        if (List1_->item(i)->checkState() == Qt::Checked) s.picked.push_back(str(List1_->item(i)->text()));
    s.isRowShown = [view = selection_](const CommandStore::RowHead& row) { return view.IsRowShown(row); };
    return s;
}

ops::BatchScope BatchDialog::scope() const {
    if (outputall_->isChecked()) return ops::BatchScope::Everything;
    if (outputgroup_->isChecked()) return ops::BatchScope::CurrentGroup;
    if (outputapp_->isChecked()) return ops::BatchScope::CurrentApp;
    if (outputselect_->isChecked()) return ops::BatchScope::PickAndChoose;
    return ops::BatchScope::CurrentScope;
}

void BatchDialog::showCounts() {
    const auto counts = ops::countScopes(ws_.store(), batchSelection());
    const std::int64_t values[] = {counts.everything, counts.group, counts.app, counts.scope, counts.pick};
    for (int i = 0; i < 5; ++i) counts_[i]->setText(qs(ops::countLabel(values[i])));
}

std::string BatchDialog::exportName(const std::string& stem) const {
    return os::pathText(exportFolder_ / (fileStem(stem) + "." + std::string(modeName(mode_))));
}

void BatchDialog::proposeName(const std::string& stem) {
    if (mode_ == BatchMode::Export && !nameChosen_) Text1_->setText(qs(exportName(stem)));
}

void BatchDialog::setUpMode() {
    const auto& t = textsOf(mode_);
    setWindowTitle(qs(t.title));
    Command2_->setText(qs(t.action));
    for (QWidget* w : {static_cast<QWidget*>(Label11_), static_cast<QWidget*>(replacewith_),
                       static_cast<QWidget*>(matchcase_), static_cast<QWidget*>(Replaceall_),
                       static_cast<QWidget*>(body_), static_cast<QWidget*>(macroname_)})
        w->hide();
    const auto fixedName = [this] {
        Text1_->setText(qs(os::pathText(ws_.commandFile())));
        Text1_->setEnabled(false);
        specify_->setEnabled(false);
    };
    const auto noNewName = [this] {
        Label2_->hide();
        newgroupname_->hide();
    };
    // The option chosen when the dialog opens, before the mode proposes its names.
    QRadioButton* start = outputstate_;
    switch (mode_) {
    case BatchMode::Export:
        start = outputapp_;
        Text1_->setText(qs(exportName(selection_.program)));
        noNewName();
        break;
    case BatchMode::RenameGroup:
    case BatchMode::RenameProgram: {
        const bool group = mode_ == BatchMode::RenameGroup;
        fixedName();
        newgroupname_->setText(qs(group ? ops::texts::EnterNewGroup : ops::texts::EnterNewProgram));
        newgroupname_->selectAll();
        newgroupname_->setFocus();
        if (!group) Label2_->setText(qs(texts::NewProgramLabel));
        start = group ? outputgroup_ : outputapp_;
        break;
    }
    case BatchMode::Delete:
    case BatchMode::KeysToPlain:
    case BatchMode::KeysToSendKeys:
    case BatchMode::KeysToDragonKeys:
        fixedName();
        noNewName();
        break;
    case BatchMode::Replace:
        specify_->setText(qs(texts::ReplaceButton));
        Label1_->setText(qs(texts::SearchForLabel));
        Text1_->setMinimumWidth(kSearchTextTwips * logicalDpiX() / 1440);
        Text1_->clear();
        replacewith_->clear();
        noNewName();
        for (QWidget* w : {static_cast<QWidget*>(Label11_), static_cast<QWidget*>(replacewith_),
                           static_cast<QWidget*>(matchcase_), static_cast<QWidget*>(Replaceall_),
                           static_cast<QWidget*>(macroname_)})
            w->show();
        Text1_->setFocus();
        break;
    }
    start->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(List1_), static_cast<QWidget*>(Label10_),
                       static_cast<QWidget*>(pickall_), static_cast<QWidget*>(picknone_)})
        w->hide();
    setHeightTwips(mode_ == BatchMode::Replace ? kSearchTwips : kShrunkTwips);
}

void BatchDialog::setHeightTwips(int twips) {
    layout()->activate();
    const int wanted = twips * logicalDpiY() / 1440;
    resize(std::max(width(), sizeHint().width()), std::max(minimumSizeHint().height(), wanted));
}

void BatchDialog::scopeChosen(ops::BatchScope scope) {
    switch (scope) {
    case ops::BatchScope::Everything: proposeName("global"); break;
    case ops::BatchScope::CurrentApp: proposeName(selection_.program); break;
    case ops::BatchScope::CurrentGroup:
        proposeName(selection_.allGroups ? std::string(names::AllGroups) : selection_.group);
        break;
    case ops::BatchScope::CurrentScope: proposeName(selection_.scope); break;
    case ops::BatchScope::PickAndChoose: break;
    }
    abandonSearch();
    for (QWidget* w : {static_cast<QWidget*>(List1_), static_cast<QWidget*>(Label10_),
                       static_cast<QWidget*>(pickall_), static_cast<QWidget*>(picknone_),
                       static_cast<QWidget*>(body_)})
        w->hide();
    setHeightTwips(mode_ == BatchMode::Replace ? kSearchTwips : kShrunkTwips);
}

void BatchDialog::pickChosen() {
    abandonSearch();
    body_->hide();
    for (QWidget* w : {static_cast<QWidget*>(List1_), static_cast<QWidget*>(Label10_),
                       static_cast<QWidget*>(pickall_), static_cast<QWidget*>(picknone_)})
        w->show();
    proposeName("selected");
    // The follow views pick what they show.
    if (selection_.view.followCommand || selection_.view.followList) {
        if (mode_ == BatchMode::Export) {
            const std::string stem = selection_.view.followCommand
                                         ? (List1_->count() > 0 ? str(List1_->item(0)->text()) : std::string())
                                         : selection_.followedListName;
            Text1_->setText(qs(os::pathText(programFolder_ / (fileStem(stem) + "." + std::string(modeName(mode_))))));
        }
        setAllPicked(true);
    }
    updatePickCount();
    List1_->setFocus();
    resize(width(), fullHeight_);
}

void BatchDialog::setAllPicked(bool on) {
    {
        const QSignalBlocker block(List1_);
        for (int i = 0; i < List1_->count(); ++i) List1_->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    updatePickCount();
}

void BatchDialog::updatePickCount() {
    std::int64_t picked = 0;
    for (int i = 0; i < List1_->count(); ++i)
        if (List1_->item(i)->checkState() == Qt::Checked) ++picked;
    counts_[4]->setText(qs(ops::countLabel(picked)));
}

void BatchDialog::specify_Click() {
    if (mode_ == BatchMode::Replace) {
        if (!search_ || !search_->current()) {
            // Nothing on show yet: the replace starts the search, as the action button does.
            if (Text1_->text().isEmpty()) return ws_.prompter().message(ops::texts::NoSearchForText);
            if (replacewith_->text().isEmpty()) return ws_.prompter().message(ops::texts::NoReplaceText);
            return Command2_Click();
        }
        return searchStep(Step::Replace);
    }
    QFileDialog dialog(this, qs(texts::Specify).remove(QLatin1Char('&')), qs(os::pathText(exportFolder_)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // an existing export file has its own question
    const QString mode = qs(modeName(mode_));
    dialog.setDefaultSuffix(mode);
    dialog.setNameFilter(qs(texts::SpecifyFilter) + mode);
    dialog.selectFile(QFileInfo(Text1_->text()).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    Text1_->setText(dialog.selectedFiles().front());
    nameChosen_ = true;
}

void BatchDialog::Replaceall_Click() {
    if (!search_ || !search_->current()) {
        if (Text1_->text().isEmpty()) return ws_.prompter().message(ops::texts::NoSearchForText);
        if (replacewith_->text().isEmpty()) return ws_.prompter().message(ops::texts::NoReplaceText);
        if (fileChangedBehindUs()) return;
    }
    searchStep(Step::ReplaceAll);
}

bool BatchDialog::fileChangedBehindUs() {
    if (replacementMade_ || !ws_.changedOnDisk()) return false;
    ws_.prompter().message(ops::texts::ModifiedMeanwhile);
    ws_.prompter().status(ops::texts::CBModified);
    ws_.FileRefresh();
    changed_ = true;
    reject();
    return true;
}

void BatchDialog::Command2_Click() {
    if (fileChangedBehindUs()) return;
    if (mode_ == BatchMode::Replace) return searchStep(Step::Search);
    runOperation();
}

void BatchDialog::closeDone() {
    changed_ = true;
    accept();
}

void BatchDialog::runOperation() {
    const auto selection = batchSelection();
    const auto says = [this](const ops::Outcome& o) { ws_.prompter().message(o.text, o.title); };
    ops::Outcome outcome;
    const std::string newName = str(newgroupname_->text());
    switch (mode_) {
    case BatchMode::Export: {
        ops::ExportCommands exportCommands(ws_, selection, os::pathFrom(str(Text1_->text())));
        outcome = exportCommands.run();
        if (!outcome.isDone()) break;
        says(outcome);
        const auto target = exportCommands.target();
        if (ws_.prompter().yesNo(ops::texts::OpenExportedFile, os::pathText(target))) openExported_ = target;
        accept();
        return;
    }
    case BatchMode::RenameGroup:
        outcome = ops::RenameGroupChange(ws_, selection, newName).run();
        if (outcome.isDone()) currentGroup_ = newName;
        break;
    case BatchMode::RenameProgram: outcome = ops::RenameProgramChange(ws_, selection, newName).run(); break;
    case BatchMode::Delete:
        outcome = ops::BatchDelete(ws_, selection).run();
        if (outcome.isDone() && selection.scope == ops::BatchScope::CurrentGroup)
            currentGroup_ = std::string(names::AllGroups);
        break;
    case BatchMode::KeysToPlain:
    case BatchMode::KeysToSendKeys:
    case BatchMode::KeysToDragonKeys: {
        using Mode = ops::ConvertKeys::Mode;
        const Mode m = mode_ == BatchMode::KeysToPlain      ? Mode::PlainText
                       : mode_ == BatchMode::KeysToSendKeys ? Mode::SendKeys
                                                            : Mode::SendDragonKeys;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        outcome = ops::ConvertKeys(ws_, selection, m).run();
        QApplication::restoreOverrideCursor();
        break;
    }
    case BatchMode::Replace: return;
    }
    if (outcome.isDone()) {
        says(outcome);
        return closeDone();
    }
    // A file changed under the operation's lock was read again: what the dialog shows is stale.
    if (outcome.reason == ops::Outcome::Reason::FileChangedMeanwhile) {
        changed_ = true;
        reject();
    }
}

void BatchDialog::abandonSearch() {
    if (search_) search_->abandon();
    for (auto* o : {outputall_, outputgroup_, outputapp_, outputstate_, outputselect_}) o->setEnabled(true);
    macroname_->clear();
}

void BatchDialog::searchStep(Step step) {
    if (!search_ || !search_->running()) search_.emplace(ws_, batchSelection());
    search_->findText = str(Text1_->text());
    search_->replaceWith = str(replacewith_->text());
    search_->matchCase = matchcase_->isChecked();
    body_->show();
    List1_->hide();
    ops::Outcome outcome;
    switch (step) {
    case Step::Search: outcome = search_->search(); break;
    case Step::Replace: outcome = search_->replace(); break;
    case Step::ReplaceAll: outcome = search_->replaceAll(); break;
    }
    if (search_->replacements() > 0) replacementMade_ = changed_ = true;
    showSearch(outcome);
}

void BatchDialog::showSearch(const ops::Outcome& outcome) {
    const bool running = search_->running();
    for (auto* o : {outputall_, outputgroup_, outputapp_, outputstate_, outputselect_}) o->setEnabled(!running);
    if (const auto& m = search_->current()) {
        resize(width(), fullHeight_);
        pickall_->hide();
        picknone_->hide();
        Label10_->hide();
        body_->setPlainText(qs(m->body));
        macroname_->setText(qs(m->name));
        const int start = shownPosition(m->body, m->position);
        const int end = shownPosition(m->body, m->position + m->length);
        QTextCursor cursor(body_->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        body_->setTextCursor(cursor);
        body_->ensureCursorVisible();
        return;
    }
    if (outcome.isDone()) {
        // The search is over after replacements: the summary, and the window shows the file anew.
        ws_.prompter().message(outcome.text, outcome.title);
        return closeDone();
    }
    if (outcome.reason == ops::Outcome::Reason::FileChangedMeanwhile) {
        changed_ = true;
        return reject();
    }
    macroname_->clear();
    body_->clear();
    if (scope() == ops::BatchScope::PickAndChoose) {
        body_->hide();
        List1_->show();
    }
    if (outcome.reason == ops::Outcome::Reason::NoMoreMatches) setHeightTwips(kSearchTwips);
}

} // namespace vocabrella::ui
