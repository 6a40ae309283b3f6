#include "ui/Form1.h"

#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/Prompter.h"
#include "cmdfile/Reader.h"
#include "cmdfile/RtfReader.h"
#include "cmdfile/Texts.h"
#include "ops/CloneCommand.h"
#include "ops/CompareFiles.h"
#include "ops/ConvertCommand.h"
#include "ops/DebugWithBasic.h"
#include "ops/DeleteCommand.h"
#include "ops/Failures.h"
#include "ops/NewCommand.h"
#include "ops/NewList.h"
#include "ops/RenameCommand.h"
#include "ops/SaveChanges.h"
#include "ops/Texts.h"
#include "ops/WriteReport.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "shell/Settings.h"
#include "shell/Texts.h"
#include "ui/AppIcon.h"
#include "ui/BatchDialog.h"
#include "ui/Dialogs.h"
#include "ui/EditMenu.h"
#include "ui/FindForm.h"
#include "ui/Printing.h"
#include "ui/ReportDialog.h"
#include "ui/RichText.h"
#include "ui/Texts.h"
#include "ui/WindowWait.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace vocabrella::ui {
namespace fs = std::filesystem;
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string str(const QString& s) { return s.toStdString(); }

// Store text keeps CR LF; Qt's text widgets hold LF.
QString widgetText(std::string_view crlf) {
    QString s = qs(crlf);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

// Menu captions treat "&" as the accelerator mark; a name shows its own "&" doubled.
QString captionOf(const std::string& name) {
    QString s = qs(name);
    s.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return s;
}

constexpr const char* kEntryName = "entryName"; // the store name behind a dynamic menu entry

// The tab control and the body boxes under it share the height as the slider says.
class SplitPane final : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> onResize;

protected:
    void resizeEvent(QResizeEvent*) override {
        if (onResize) onResize();
    }
};

// Restores a flag on every way out of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};

} // namespace

Form1::Form1(Application& app, QWidget* parent)
    : QMainWindow(parent), app_(app), session_(app.session()), settings_(app.settings()),
      browser_(app.session().store(), selection_) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qs(texts::WindowTitle));
    setWindowIcon(appIcon());
    help_ = new HelpWindow(session_.home() / "help", this);
    installHelpKey(this, *help_, kHelpMainWindow);
    buildControls();
    buildMenus();
    showOpenedFile(); // the file the program read at start-up
    app_.setRoamingNotice([this] {
        RoamWarnDialog notice(*help_, this);
        installHelpKey(&notice, *help_, kHelpRoaming);
        notice.exec();
        return notice.neverAgain();
    });
}

Form1::~Form1() { app_.setRoamingNotice({}); }

QPalette Form1::readOnlyPalette() const {
    QPalette p = palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    return p;
}

bool Form1::fileOpen() const { return !session_.reader().file().path.empty(); }

int Form1::twips(int value) const {
    // 15 twips are one pixel at 96 dpi.
    return static_cast<int>(value * logicalDpiY() / 1440.0);
}

// --- construction -------------------------------------------------------------------------------

QMenu* Form1::menu(const char* name, std::string_view caption) {
    auto* m = menuBar()->addMenu(qs(caption));
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

QAction* Form1::entry(QMenu* m, const char* name, std::string_view caption, bool enabled) {
    auto* a = m->addAction(qs(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(enabled);
    return a;
}

void Form1::buildMenus() {
    const auto on = [this](QAction* a, void (Form1::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };

    fileMenu_ = menu("filemenu", texts::FileMenu);
    on(entry(fileMenu_, "fileopen", texts::FileOpen), &Form1::fileopen_Click);
    on(entry(fileMenu_, "filereload", texts::FileReload), &Form1::filereload_Click);
    on(entry(fileMenu_, "filereset", texts::FileReset), &Form1::filereset_Click);
    on(entry(fileMenu_, "filepropertys", texts::FileProperties), &Form1::filepropertys_Click);
    fileMenu_->addSeparator();
    const auto report = [&](const char* name, std::string_view caption, const char* mode) {
        connect(entry(fileMenu_, name, caption), &QAction::triggered, this,
                [this, mode] { guarded([&] { exportReport(mode); }); });
    };
    report("Filereport", texts::FileReport, "txt");
    report("FileExcel", texts::FileExcel, "csv");
    report("filedvc", texts::FileDvc, "dvc");
    report("filepseudo", texts::FilePseudo, "pseudo");
    on(entry(fileMenu_, "fileimportxml", texts::FileImportXml), &Form1::fileimportxml_Click);
    on(entry(fileMenu_, "fileexportxml", texts::FileExportXml), &Form1::fileexportxml_Click);
    on(entry(fileMenu_, "filecompare", texts::FileCompare), &Form1::filecompare_Click);
    fileMenu_->addSeparator();
    rollback_ = fileMenu_->addMenu(qs(std::string(texts::RollbackPrefix) + std::string(texts::RollbackSuffix)));
    rollback_->setObjectName(QStringLiteral("rollback"));
    rollback_->menuAction()->setObjectName(QStringLiteral("rollback"));
    rollbackset_ = entry(fileMenu_, "rollbackset",
                         std::string(texts::RollbackSetPrefix) + std::string(texts::RollbackSetSuffix));
    on(rollbackset_, &Form1::rollbackset_Click);
    fileMenu_->addSeparator();
    connect(entry(fileMenu_, "fileexit", texts::FileExit), &QAction::triggered, this, &QWidget::close);

    editMenu_ = menu("editmenu", texts::EditMenu);
    undoRedo_ = new EditMenu(
        editMenu_, app_, clock_, [this](const std::function<void()>& action) { guarded(action); },
        [this] { refreshAfterChange(); });
    connect(entry(editMenu_, "findmenu", texts::FindMenu), &QAction::triggered, this,
            [this] { guarded([&] { findmenu_Click(); }); });
    connect(entry(editMenu_, "editoptions", texts::EditOptions), &QAction::triggered, this, [this] {
        OptionsDialog dialog(settings_, *help_, this);
        dialog.exec();
    });

    viewMenu_ = menu("ViewMenu", texts::ViewMenu);
    connect(viewMenu_, &QMenu::aboutToShow, this, [this] {
        selection_.listsStale = true;
        selection_.recentlyCreatedStale = selection_.recentlyModifiedStale = true;
    });
    static constexpr const char* kViewNames[kViewTypeCount] = {"ViewKeys", "ViewScripts", "ViewLists", "ViewText",
                                                               "ViewPlain", "ViewRecorder", "ViewSteps", "ViewAdvanced"};
    static constexpr std::string_view kViewCaptions[kViewTypeCount] = {
        texts::ViewKeys, texts::ViewScripts, texts::ViewLists, texts::ViewText,
        texts::ViewPlain, texts::ViewRecorder, texts::ViewSteps, texts::ViewAdvanced};
    for (std::size_t i = 0; i < kViewTypeCount; ++i) {
        viewTypes_[i] = entry(viewMenu_, kViewNames[i], kViewCaptions[i]);
        viewTypes_[i]->setCheckable(true);
        viewTypes_[i]->setChecked(true);
        connect(viewTypes_[i], &QAction::triggered, this,
                [this, i] { guarded([&] { viewTypeToggled(static_cast<ViewType>(i)); }); });
    }
    viewAll_ = entry(viewMenu_, "ViewAll", texts::ViewAll);
    viewAll_->setCheckable(true);
    viewAll_->setChecked(true);
    connect(viewAll_, &QAction::triggered, this, [this] { guarded([&] { viewAll(); }); });
    auto* only1 = viewMenu_->addMenu(qs(texts::Only1));
    only1->setObjectName(QStringLiteral("only1"));
    only1->menuAction()->setObjectName(QStringLiteral("only1"));
    static constexpr const char* kOnlyNames[kViewTypeCount] = {
        "viewonly1keys", "viewonly1scripts", "viewonly1lists", "viewonly1text",
        "viewonly1plain", "viewonly1recorder", "viewonly1steps", "viewonly1advanced"};
    static constexpr std::string_view kOnlyCaptions[kViewTypeCount] = {
        texts::Only1Keys, texts::Only1Scripts, texts::Only1Lists, texts::Only1Text,
        texts::Only1Plain, texts::Only1Recorder, texts::Only1Steps, texts::Only1Advanced};
    for (std::size_t i = 0; i < kViewTypeCount; ++i)
        connect(entry(only1, kOnlyNames[i], kOnlyCaptions[i]), &QAction::triggered, this,
                [this, i] { guarded([&] { viewOnly(static_cast<ViewType>(i)); }); });
    // Filters of the legacy DVC files, which this program does not read: kept, checked and hidden.
    viewMapped_ = entry(viewMenu_, "Viewmapped", texts::ViewMapped);
    viewNotMapped_ = entry(viewMenu_, "Viewnotmapped", texts::ViewNotMapped);
    for (auto* a : {viewMapped_, viewNotMapped_}) {
        a->setCheckable(true);
        a->setChecked(true);
        a->setVisible(false);
    }
    viewMenu_->addSeparator();
    viewfollowcommand_ = entry(viewMenu_, "viewfollowcommand", texts::ViewFollowCommand);
    viewfollowcommand_->setCheckable(true);
    on(viewfollowcommand_, &Form1::viewfollowcommand_Click);
    viewfollowlist_ = entry(viewMenu_, "viewfollowlist", texts::ViewFollowList);
    viewfollowlist_->setCheckable(true);
    on(viewfollowlist_, &Form1::viewfollowlist_Click);
    entry(viewMenu_, "viewdescriptions", texts::ViewDescriptions)->setVisible(false);

    appcommand_ = menu("appcommand", texts::ProgramMenu);
    statecommand_ = menu("statecommand", texts::ScopeMenu);
    connect(appcommand_, &QMenu::aboutToShow, this, [this] { guarded([&] { numberMenu(DynamicMenu::Program); }); });
    connect(statecommand_, &QMenu::aboutToShow, this, [this] { guarded([&] { numberMenu(DynamicMenu::Scope); }); });

    commandmenu_ = menu("commandmenu", texts::VocMenu);
    const auto newEntry = [&](const char* name, std::string_view caption, const char* kind) {
        connect(entry(commandmenu_, name, caption), &QAction::triggered, this,
                [this, kind] { guarded([&] { commandnew_Click(kind); }); });
    };
    newEntry("commandnewkeys", texts::NewKeys, "K");
    newEntry("commandnewscript", texts::NewScript, "S");
    newEntry("commandnewadvanced", texts::NewAdvanced, "A");
    newEntry("commandnewplaintext", texts::NewPlainText, "P");
    on(entry(commandmenu_, "commandnewlist", texts::NewList), &Form1::commandnewlist_Click);
    commandmenu_->addSeparator();
    commandEdit_ = entry(commandmenu_, "commandEdit", texts::CommandEdit, false);
    connect(commandEdit_, &QAction::triggered, this, [this] {
        guarded([&] {
            modify_Click();
            Text1_->setFocus();
        });
    });
    commandclone_ = entry(commandmenu_, "commandclone", texts::CommandClone, false);
    on(commandclone_, &Form1::commandclone_Click);
    commanddelete_ = entry(commandmenu_, "commanddelete", texts::CommandDelete, false);
    on(commanddelete_, &Form1::commanddelete_Click);
    commandDebugBasic_ = entry(commandmenu_, "CommandDebugBasic", texts::CommandDebugBasic, false);
    on(commandDebugBasic_, &Form1::CommandDebugBasic_Click);
    commandrename_ = entry(commandmenu_, "commandrename", texts::CommandRename, false);
    on(commandrename_, &Form1::commandrename_Click);
    convert2Plain_ = entry(commandmenu_, "commandconvert2Plain", texts::Convert2Plain, false);
    on(convert2Plain_, &Form1::commandconvert2Plain_Click);
    convert2Advanced_ = entry(commandmenu_, "commandconvert2Advanced", texts::Convert2Advanced, false);
    on(convert2Advanced_, &Form1::commandconvert2Advanced_Click);

    groupcommand_ = menu("groupcommand", texts::GroupMenu);
    connect(groupcommand_, &QMenu::aboutToShow, this, [this] { guarded([&] { numberMenu(DynamicMenu::Group); }); });

    toolsMenu_ = menu("toolsmenu", texts::ToolsMenu);
    const auto tool = [&](const char* name, std::string_view caption, auto handler) {
        connect(entry(toolsMenu_, name, caption), &QAction::triggered, this, [this, handler] { guarded(handler); });
    };
    const auto batch = [this](void (Form1::*handler)(BatchMode), BatchMode mode) {
        return [this, handler, mode] { (this->*handler)(mode); };
    };
    tool("toolsexport", texts::ToolsExport, batch(&Form1::toolsBatch_Click, BatchMode::Export));
    tool("toolsrenamegroup", texts::ToolsRenameGroup, batch(&Form1::toolsBatch_Click, BatchMode::RenameGroup));
    tool("toolsrenameprogram", texts::ToolsRenameProgram, batch(&Form1::toolsBatch_Click, BatchMode::RenameProgram));
    tool("toolsDelete", texts::ToolsDelete, batch(&Form1::toolsBatch_Click, BatchMode::Delete));
    tool("toolsreplace", texts::ToolsReplace, batch(&Form1::toolsBatch_Click, BatchMode::Replace));
    toolsMenu_->addSeparator();
    tool("toolsdvc2plain", texts::ToolsKeys2Plain, batch(&Form1::toolsKeys_Click, BatchMode::KeysToPlain));
    tool("toolsdvc2vba", texts::ToolsKeys2Vba, batch(&Form1::toolsKeys_Click, BatchMode::KeysToSendKeys));
    tool("toolsdvc2sdk", texts::ToolsKeys2Sdk, batch(&Form1::toolsKeys_Click, BatchMode::KeysToDragonKeys));
    toolsMenu_->addSeparator();
    const auto version = [this](std::string_view target) {
        return [this, target] { toolsconvert_Click(std::string(target)); };
    };
    tool("toolsconvert260", texts::ToolsConvert60, version(texts::Version60));
    tool("toolsconvert261", texts::ToolsConvert61, version(texts::Version61));
    tool("toolsconvert270", texts::ToolsConvert70, version(texts::Version70));
    tool("toolsconvert280", texts::ToolsConvert80, version(texts::Version80));
    tool("toolslanguage", texts::ToolsLanguage, [this] { toolslanguage_Click(); });
    toolsMenu_->addSeparator();
    on(entry(toolsMenu_, "toolscheck", texts::ToolsCheck), &Form1::toolscheck_Click);

    helpMenu_ = menu("helpmenu", texts::HelpMenu);
    connect(entry(helpMenu_, "helpcommand", texts::HelpCommand), &QAction::triggered, this,
            [this] { help_->Show(kHelpCommands); });
    connect(entry(helpMenu_, "helpabout", texts::HelpAbout), &QAction::triggered, this, [this] {
        AboutDialog about(this);
        about.exec();
    });

    auto* popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("popup"));
    on(entry(popup, "popupprint", texts::PopupPrint), &Form1::popupprint_Click);
    on(entry(popup, "popupprint2", texts::PopupPrint2), &Form1::popupprint_Click);
    lists_[0]->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lists_[0], &QWidget::customContextMenuRequested, this,
            [this, popup](const QPoint& at) { popup->popup(lists_[0]->mapToGlobal(at)); });
}

void Form1::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    const auto lineEdit = [&](const char* name, bool readOnly) {
        auto* e = new QLineEdit(central);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(readOnly);
        if (readOnly) e->setPalette(readOnlyPalette()); // a box that takes no typing looks it
        return e;
    };
    const auto label = [&](std::string_view caption, QWidget* buddy) {
        auto* l = new QLabel(qs(caption), central);
        l->setBuddy(buddy);
        return l;
    };
    const auto button = [&](const char* name, std::string_view caption) {
        auto* b = new QPushButton(qs(caption), central);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };

    Text2_ = lineEdit("Text2", true);
    Text3_ = lineEdit("Text3", true);
    Text6_ = lineEdit("Text6", false);
    Text5_ = lineEdit("Text5", true);
    description_ = lineEdit("description", false);
    ActiveStates_ = lineEdit("ActiveStates", true);
    modify_ = button("modify", texts::Modify);
    savechanges_ = button("savechanges", texts::SaveChanges);
    abandon_ = button("abandon", texts::Abandon);
    showgraphic_ = button("showgraphic", texts::ShowGraphic);
    savechanges_->setEnabled(false);
    abandon_->setEnabled(false);
    modify_->setEnabled(false);
    showgraphic_->hide();

    auto* fields = new QGridLayout;
    fields->addWidget(label(texts::LabelProgram, Text2_), 0, 0);
    fields->addWidget(Text2_, 0, 1);
    fields->addWidget(label(texts::LabelScope, Text3_), 0, 2);
    fields->addWidget(Text3_, 0, 3);
    fields->addWidget(label(texts::LabelGroup, Text6_), 1, 0);
    fields->addWidget(Text6_, 1, 1);
    fields->addWidget(label(texts::LabelType, Text5_), 1, 2);
    fields->addWidget(Text5_, 1, 3);
    fields->addWidget(label(texts::LabelDescription, description_), 2, 0);
    fields->addWidget(description_, 2, 1, 1, 3);
    fields->addWidget(label(texts::LabelStates, ActiveStates_), 3, 0);
    fields->addWidget(ActiveStates_, 3, 1, 1, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    for (auto* b : {modify_, savechanges_, abandon_, showgraphic_}) buttons->addWidget(b);
    buttons->addStretch();

    splitPane_ = new SplitPane(central);
    SSTab1_ = new QTabWidget(splitPane_);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    static constexpr const char* kListNames[4] = {"List1", "List2", "List3", "List4"};
    static constexpr std::string_view kTabCaptions[4] = {texts::TabCommands, texts::TabLists, texts::TabRecentlyCreated,
                                                         texts::TabRecentlyModified};
    for (int i = 0; i < 4; ++i) {
        lists_[i] = new QListWidget(SSTab1_);
        lists_[i]->setObjectName(QString::fromLatin1(kListNames[i]));
        lists_[i]->setUniformItemSizes(true); // keeps a list of 50,000 names quick to fill
        SSTab1_->addTab(lists_[i], qs(kTabCaptions[i]));
    }
    Text1_ = new QPlainTextEdit(splitPane_);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setReadOnly(true);
    Text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1_->viewport()->installEventFilter(this);
    for (QObject* o : {static_cast<QObject*>(lists_[0]), static_cast<QObject*>(lists_[1]), static_cast<QObject*>(Text1_)})
        o->installEventFilter(this);
    RichTextBox1_ = new QTextEdit(splitPane_);
    RichTextBox1_->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1_->setReadOnly(true);
    RichTextBox1_->hide();
    static_cast<SplitPane*>(splitPane_)->onResize = [this] { layoutSplit(); };

    Slider1_ = new QSlider(Qt::Vertical, central);
    Slider1_->setObjectName(QStringLiteral("Slider1"));
    Slider1_->setRange(0, 10);
    Slider1_->setPageStep(1);
    Slider1_->setTickPosition(QSlider::TicksBothSides);
    Slider1_->setInvertedAppearance(true); // 0 at the top, where the split then is
    Slider1_->setFixedWidth(twips(450));

    auto* split = new QHBoxLayout;
    split->addWidget(splitPane_, 1);
    split->addWidget(Slider1_);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addLayout(split, 1);

    Label7_ = new QLabel(this);
    Label7_->setObjectName(QStringLiteral("Label7"));
    Label9_ = new QLabel(this);
    Label9_->setObjectName(QStringLiteral("Label9"));
    statusBar()->addWidget(Label7_, 1);
    statusBar()->addPermanentWidget(Label9_);

    setMinimumHeight(twips(5000));

    connect(lists_[0], &QListWidget::currentRowChanged, this, [this] { guarded([&] { List1_Click(); }); });
    connect(lists_[1], &QListWidget::currentRowChanged, this, [this] { guarded([&] { List2_Click(); }); });
    connect(lists_[2], &QListWidget::currentRowChanged, this, [this] { guarded([&] { List3_Click(); }); });
    connect(lists_[3], &QListWidget::currentRowChanged, this, [this] { guarded([&] { List4_Click(); }); });
    connect(SSTab1_, &QTabWidget::currentChanged, this, [this](int tab) { guarded([&] { SSTab1_Click(tab); }); });
    connect(SSTab1_->tabBar(), &QTabBar::tabBarClicked, this, [this](int tab) {
        selection_.findMatchLength = 0;
        if (tab >= 0 && tab < 4) lists_[tab]->setFocus();
    });
    connect(Slider1_, &QSlider::valueChanged, this, [this](int v) {
        layoutSplit();
        settings_.setSlider(v);
    });
    connect(showgraphic_, &QPushButton::clicked, this, [this] { guarded([&] { showgraphic_Click(); }); });
    connect(modify_, &QPushButton::clicked, this, [this] { guarded([&] { modify_Click(); }); });
    connect(abandon_, &QPushButton::clicked, this, [this] { guarded([&] { abandon_Click(); }); });
    connect(savechanges_, &QPushButton::clicked, this, [this] { guarded([&] { savechanges_Click(); }); });
    connect(description_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (listFilling_ || noLongerAvailable_ || text.isEmpty()) return;
        descriptionChanged_ = true;
        if (shownType_ == "L") description_->clear(); // LISTs carry no description
        else BeginEdit();
    });
    connect(Text6_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (noLongerAvailable_ || str(text) == shownGroup_) return;
        groupChanged_ = true;
        if (shownType_ == "L") Text6_->setText(qs(shownGroup_)); // a LIST's group is not the user's to change
        else BeginEdit();
    });
}

void Form1::applyOptions() {
    const auto& o = settings_.options();
    const int size = o.fontsize > 0 ? o.fontsize : 10;
    QFont proportional(qs(o.font.empty() ? std::string(setting::Font.defaultValue) : o.font), size);
    QFont fixed(qs(o.fixedfont.empty() ? std::string(setting::FixedFont.defaultValue) : o.fixedfont), size);
    // Where the named font is missing, a fixed-pitch one must stand in: the recent lists line up
    // their columns with it.
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    lists_[0]->setFont(proportional);
    lists_[1]->setFont(proportional);
    lists_[2]->setFont(fixed);
    lists_[3]->setFont(fixed);
    Text1_->setFont(fixed);
    const QSignalBlocker block(Slider1_);
    Slider1_->setValue(std::clamp(o.slider, 0, 10));
    layoutSplit();
}

void Form1::restorePlacement() {
    const auto& o = settings_.options();
    if (o.formRight > o.formLeft && o.formBottom > o.formTop)
        setGeometry(o.formLeft, o.formTop, o.formRight - o.formLeft, o.formBottom - o.formTop);
    if (o.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void Form1::layoutSplit() {
    const int width = splitPane_->width();
    const int height = splitPane_->height();
    const int minimumTab = twips(350);
    const int gap = twips(60);
    const int v = Slider1_->value();
    const int tabHeight = std::min(height, minimumTab + std::max(0, height - minimumTab - gap) * v / 10);
    const int bodyTop = std::min(height, tabHeight + gap);
    const int bodyHeight = v >= 10 ? 0 : std::max(0, height - bodyTop);
    SSTab1_->setGeometry(0, 0, width, tabHeight);
    Text1_->setGeometry(0, bodyTop, width, bodyHeight);
    RichTextBox1_->setGeometry(0, bodyTop, width, bodyHeight);
}

void Form1::setSlider(int value) { Slider1_->setValue(std::clamp(value, 0, 10)); }

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutSplit();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        // The normal rectangle, also of a maximized window, so that it comes back the same.
        const QRect r = isMaximized() ? normalGeometry() : geometry();
        settings_.writeWindowPlacement(r.top(), r.left(), r.right() + 1, r.bottom() + 1, isMaximized());
        guarded([&] { app_.shutdown(); });
    }
    help_->close();
    event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // F11 and F12 in the Commands and LISTs lists and the body box: Find Again and Find Previous
    // without the dialog, run when the key comes up.
    if ((watched == lists_[0] || watched == lists_[1] || watched == Text1_) &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && (key->key() == Qt::Key_F11 || key->key() == Qt::Key_F12)) {
            findKeyArmed_ = key->key();
            return true;
        }
        if (event->type() == QEvent::KeyRelease && findKeyArmed_ != 0 && !key->isAutoRepeat()) {
            const int armed = std::exchange(findKeyArmed_, 0);
            if (key->key() == armed) {
                if (refusedWhileEditing()) return true; // a hit elsewhere would drop the change
                guarded([&] {
                    if (armed == Qt::Key_F11) findForm().findagain_Click();
                    else findForm().findprevious_Click();
                    findmenu_Click(true);
                });
                return true;
            }
        }
    }
    if (watched == Text1_->viewport() && event->type() == QEvent::MouseButtonRelease && !modifyInProgress_ &&
        !newItemPending_ && !listEmpty_ && modify_->isEnabled())
        guarded([&] { modify_Click(); });
    return QMainWindow::eventFilter(watched, event);
}

void Form1::guarded(const std::function<void()>& action) {
    try {
        ops::translatingFailures(session_.prompter(), &session_.trace(), [&] {
            action();
            return ops::Outcome::done();
        });
    } catch (const EndProgram& end) {
        endProgram(end.exitCode());
    } catch (const std::exception& e) {
        session_.prompter().message(e.what());
    }
}

void Form1::endProgram(int exitCode) {
    if (ended_) return;
    ended_ = true;
    emit programEnded(exitCode);
    close();
}

void Form1::setCaption() { setWindowTitle(qs(app_.caption())); }

void Form1::showUser() {
    const std::string& name = app_.displayedUserName();
    rollback_->setTitle(qs(std::string(texts::RollbackPrefix) + name + std::string(texts::RollbackSuffix)));
    rollbackset_->setText(qs(std::string(texts::RollbackSetPrefix) + name + std::string(texts::RollbackSetSuffix)));
    for (auto* a : rollback_->actions()) {
        rollback_->removeAction(a);
        a->deleteLater();
    }
    const auto& entries = app_.rollbackEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto* a = new QAction(captionOf(entries[i]), rollback_);
        a->setObjectName(QStringLiteral("rollbackdynamic"));
        a->setProperty(kEntryName, qs(entries[i]));
        rollback_->addAction(a);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { guarded([&] { rollbackdynamic_Click(index); }); });
    }
}

// --- dynamic menus ------------------------------------------------------------------------------

std::vector<QAction*> Form1::dynamicEntries(QMenu* m) const {
    std::vector<QAction*> out;
    for (auto* a : m->actions())
        if (a->property(kEntryName).isValid()) out.push_back(a);
    return out;
}

std::string Form1::entryName(QMenu* m, int index) const {
    const auto entries = dynamicEntries(m);
    if (index < 0 || index >= static_cast<int>(entries.size())) return {};
    return str(entries[static_cast<std::size_t>(index)]->property(kEntryName).toString());
}

void Form1::setEntries(QMenu* m, const char* name, const std::vector<std::string>& names) {
    for (auto* a : dynamicEntries(m)) {
        m->removeAction(a);
        a->deleteLater();
    }
    const bool group = m == groupcommand_;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* a = new QAction(captionOf(names[i]), m);
        a->setObjectName(QString::fromLatin1(name));
        // The name is kept beside the caption: numbering changes only the caption, and a name
        // that itself looks numbered ("Book1 - Sheet") is still found.
        a->setProperty(kEntryName, qs(names[i]));
        a->setProperty("index", static_cast<int>(i));
        if (group && names[i] == "-") a->setSeparator(true);
        else if (group) a->setCheckable(true);
        m->addAction(a);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, m, index] {
            guarded([&] {
                if (m == appcommand_) appdynamic_Click(index);
                else if (m == statecommand_) statedynamic_Click(index);
                else groupdynamic_Click(index);
            });
        });
    }
}

void Form1::BuildProgramMenu() {
    std::vector<std::string> programs;
    if (fileOpen()) {
        programs = browser_.programEntries();
        // A file without a single row still has the program the window shows.
        if (programs.empty()) programs.emplace_back(names::GlobalCommands);
    }
    setEntries(appcommand_, "appdynamic", programs);
    numbered_[static_cast<int>(DynamicMenu::Program)] = false;
    if (selection_.allGroups) {
        // The group filter may have been dropped for want of programs.
        const auto entries = dynamicEntries(groupcommand_);
        for (auto* a : entries) a->setChecked(false);
        if (!entries.empty()) {
            entries.back()->setChecked(true);
            selection_.groupIndex = static_cast<int>(entries.size()) - 1;
        }
    }
    if (!programs.empty()) menuBuilt(DynamicMenu::Program, static_cast<int>(programs.size()));
}

void Form1::BuildScopeMenu(const std::string& program) {
    auto scopes = browser_.scopeEntries(program);
    if (scopes.empty() && fileOpen()) scopes.emplace_back(names::GlobalCommands);
    setEntries(statecommand_, "statedynamic", scopes);
    numbered_[static_cast<int>(DynamicMenu::Scope)] = false;
    menuBuilt(DynamicMenu::Scope, static_cast<int>(scopes.size()));
}

void Form1::BuildGroupMenu() {
    const std::string remembered = selection_.group;
    std::vector<std::string> groups;
    if (fileOpen()) groups = browser_.groupEntries();
    groups.emplace_back("-");
    groups.emplace_back(names::AllGroups);
    setEntries(groupcommand_, "groupdynamic", groups);
    numbered_[static_cast<int>(DynamicMenu::Group)] = false;
    const int groupCount = static_cast<int>(groups.size()) - 1;
    for (int i = 0; i <= groupCount; ++i)
        if (groups[static_cast<std::size_t>(i)] != "-" && groups[static_cast<std::size_t>(i)] == remembered) {
            groupdynamic_Click(i);
            break;
        }
    menuBuilt(DynamicMenu::Group, groupCount);
}

void Form1::menuBuilt(DynamicMenu which, int words) {
    if (settings_.options().numberMenus && hooks_.menus && !abandoning_) hooks_.menus->menuBuilt(which, words);
}

void Form1::numberMenu(DynamicMenu which) {
    if (!settings_.options().numberMenus) return;
    QMenu* m = which == DynamicMenu::Program ? appcommand_ : which == DynamicMenu::Scope ? statecommand_ : groupcommand_;
    const auto entries = dynamicEntries(m);
    if (entries.empty()) return;
    const int count = static_cast<int>(entries.size());
    const int numberedCount = which == DynamicMenu::Group ? count - 1 : count; // "All groups" stays as it is
    bool& numbered = numbered_[static_cast<int>(which)];
    if (!numbered) {
        for (int i = 0; i < numberedCount; ++i) {
            auto* a = entries[static_cast<std::size_t>(i)];
            if (a->isSeparator()) continue;
            a->setText(qs(numberedCaption(i, str(captionOf(str(a->property(kEntryName).toString()))))));
        }
        numbered = true;
    }
    if (hooks_.menus) hooks_.menus->menuOpened(which, which == DynamicMenu::Group ? count - 1 : count);
}

// --- choosing ------------------------------------------------------------------------------------

void Form1::appdynamic_Click(int index) {
    if (!fileOpen()) return;
    const int entry = std::abs(index);
    const std::string name = entryName(appcommand_, entry);
    if (name.empty() || !browser_.programExists(name)) return; // a program no longer in the store
    selection_.program = name;
    Text2_->setText(qs(name));
    BuildScopeMenu(name);
    const auto scopes = dynamicEntries(statecommand_);
    if (name == names::GlobalCommands && !scopes.empty() && entryName(statecommand_, 0) == names::Asleep) {
        // The sleeping commands sort first; the global scope is what the user wants to see.
        int global = 0;
        for (int i = 0; i < static_cast<int>(scopes.size()); ++i)
            if (entryName(statecommand_, i) == names::GlobalCommands) global = i;
        statedynamic_Click(global);
        return;
    }
    if (index < 0 || refreshing_) return;
    statedynamic_Click(0);
}

void Form1::statedynamic_Click(int index) {
    if (!fileOpen()) {
        FillCommandList();
        return;
    }
    const auto& info = session_.reader().file().info;
    if (info.commandCount == 0 && info.listCount == 0) {
        fillCommandList({}); // an empty file: no scope to choose, nothing of another file to keep
        return;
    }
    if (index < 0 || index >= static_cast<int>(dynamicEntries(statecommand_).size())) return;
    const std::string name = entryName(statecommand_, index);
    selection_.listsStale = true;
    selection_.scope = name;
    Text3_->setText(qs(name));
    const auto rows = browser_.scopeRows();
    if (!rows.empty()) fillCommandList(rows);
}

void Form1::groupdynamic_Click(int index) {
    const auto entries = dynamicEntries(groupcommand_);
    const int entry = std::abs(index);
    if (entry >= static_cast<int>(entries.size()) || entries[static_cast<std::size_t>(entry)]->isSeparator()) return;
    for (auto* a : entries) a->setChecked(false);
    entries[static_cast<std::size_t>(entry)]->setChecked(true);
    selection_.groupIndex = entry;
    selection_.group = entryName(groupcommand_, entry);
    const int groupCount = static_cast<int>(entries.size()) - 1;
    if (entry == groupCount) {
        selection_.allGroups = true;
    } else {
        selection_.allGroups = false;
        if (const auto place = browser_.firstPlaceOfGroup(selection_.group)) {
            selection_.program = place->program;
            selection_.scope = place->scope;
        }
    }
    if (selection_.group == names::UserDefined || selection_.group == names::ListGroup)
        selection_.program = selection_.scope = std::string(names::GlobalCommands);
    selection_.programsChanged = true;
    reset(-1);
}

void Form1::reset(int tab) {
    if (selection_.programsChanged) {
        BuildProgramMenu();
        selection_.programsChanged = false;
    }
    if (selection_.scopesChanged) {
        BuildScopeMenu(selection_.program);
        selection_.scopesChanged = false;
    }
    savechanges_->setEnabled(false);
    abandon_->setEnabled(false);
    for (auto* l : lists_) l->setEnabled(true);
    setMenusEnabled(true);
    modify_->setEnabled(true);
    newItemPending_ = modifyInProgress_ = descriptionChanged_ = groupChanged_ = false;
    pendingNew_.reset();

    const auto programs = dynamicEntries(appcommand_);
    int program = 0;
    for (int i = 0; i < static_cast<int>(programs.size()); ++i)
        if (sameName(entryName(appcommand_, i), selection_.program)) program = i;
    if (program == 0) {
        FlagScope refresh(refreshing_);
        appdynamic_Click(0);
    } else {
        appdynamic_Click(-program);
    }
    const auto scopes = dynamicEntries(statecommand_);
    int scope = 0;
    for (int i = 0; i < static_cast<int>(scopes.size()); ++i)
        if (sameName(entryName(statecommand_, i), selection_.scope)) scope = i;
    statedynamic_Click(scope);

    if (tab == -1) {
        selection_.findMatchLength = 0;
        selection_.listsStale = true;
    } else if (tab >= 0 && tab < 4) {
        SSTab1_->setCurrentIndex(tab);
    }
}

void Form1::setMenusEnabled(bool on) {
    for (auto* m : {fileMenu_, editMenu_, viewMenu_, appcommand_, statecommand_, commandmenu_, groupcommand_, toolsMenu_})
        m->menuAction()->setEnabled(on);
    // Without an open file (no Dragon, nothing opened yet) there is nothing to make or change.
    if (!fileOpen())
        for (auto* m : {commandmenu_, toolsMenu_}) m->menuAction()->setEnabled(false);
    SSTab1_->tabBar()->setEnabled(on);
    undoRedo_->update(on && fileOpen());
}

// --- View menu -----------------------------------------------------------------------------------

void Form1::viewTypeToggled(ViewType type) {
    auto& v = selection_.view;
    v.type(type) = viewTypes_[static_cast<std::size_t>(type)]->isChecked();
    // "All of the above" follows the three legacy entries only.
    if (type == ViewType::Keys || type == ViewType::Scripts || type == ViewType::Lists) {
        v.all = v.type(ViewType::Keys) && v.type(ViewType::Scripts) && v.type(ViewType::Lists);
        viewAll_->setChecked(v.all);
    }
    v.followCommand = false;
    viewfollowcommand_->setChecked(false);
    reset(-1);
}

void Form1::viewAll() {
    auto& v = selection_.view;
    v = ViewFilter{};
    for (auto* a : viewTypes_) a->setChecked(true);
    for (auto* a : {viewAll_, viewMapped_, viewNotMapped_}) a->setChecked(true);
    viewfollowcommand_->setChecked(false);
    viewfollowlist_->setChecked(false);
    selection_.followedCommand.clear();
    selection_.followedTokens.clear();
    selection_.followedListReference.clear();
    selection_.followedListName.clear();
    reset(-1);
}

void Form1::viewOnly(ViewType type) {
    auto& v = selection_.view;
    v.types.fill(false);
    v.type(type) = true;
    v.all = false;
    for (std::size_t i = 0; i < kViewTypeCount; ++i) viewTypes_[i]->setChecked(v.types[i]);
    viewAll_->setChecked(false);
    reset(-1);
}

void Form1::viewfollowcommand_Click() {
    auto& v = selection_.view;
    if (!viewfollowcommand_->isChecked()) {
        v.followCommand = false;
        reset(-1);
        return;
    }
    const auto row = browser_.entry(selection_.program, selection_.scope, selection_.command);
    if (!row || row->Type == "L") {
        viewfollowcommand_->setChecked(false);
        session_.prompter().message(texts::NotValidUnlessCommand, texts::NotAllowed);
        return;
    }
    if (row->name.find('<') == std::string::npos) {
        viewfollowcommand_->setChecked(false);
        session_.prompter().message(texts::CommandHasNoLists, texts::NotAllowed);
        return;
    }
    v.followList = false;
    viewfollowlist_->setChecked(false);
    v.types.fill(false);
    v.all = false;
    for (auto* a : viewTypes_) a->setChecked(false);
    viewAll_->setChecked(false);
    v.followCommand = true;
    selection_.followedCommand = row->name;
    selection_.followedTokens = Tokenize(row->name);
    reset(-1);
}

void Form1::viewfollowlist_Click() {
    auto& v = selection_.view;
    if (!viewfollowlist_->isChecked()) {
        v.followList = false;
        reset(-1);
        return;
    }
    const auto row = browser_.entry(selection_.program, selection_.scope, selection_.command);
    if (!row || row->Type != "L") {
        viewfollowlist_->setChecked(false);
        session_.prompter().message(texts::NotValidUnlessList, texts::NotAllowed);
        return;
    }
    v.followCommand = false;
    viewfollowcommand_->setChecked(false);
    v.types.fill(false);
    v.all = false;
    for (auto* a : viewTypes_) a->setChecked(false);
    viewAll_->setChecked(false);
    v.followList = true;
    selection_.followedListReference = "<" + row->name + ">";
    selection_.followedListName = row->name;
    reset(-1);
}

// --- lists ---------------------------------------------------------------------------------------

void Form1::fillList(QListWidget* list, const std::vector<std::string>& lines) {
    const QSignalBlocker block(list);
    list->clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(lines.size()));
    for (const auto& l : lines) items.append(qs(l));
    list->addItems(items);
}

void Form1::selectRow(QListWidget* list, int row) {
    const QSignalBlocker block(list);
    list->setCurrentRow(row);
}

void Form1::FillCommandList() {
    if (!fileOpen()) {
        fillCommandList({});
        return;
    }
    fillCommandList(browser_.scopeRows());
}

void Form1::fillCommandList(const std::vector<CommandStore::RowHead>& rows) {
    selection_.commandsTab = selection_.listsTab = {selection_.program, selection_.scope};
    FlagScope filling(listFilling_);
    QListWidget* list = lists_[0];
    if (!fileOpen()) {
        fillList(list, {std::string(texts::NothingToShow)});
        listEmpty_ = true;
        modify_->setEnabled(false);
        showText({});
        return;
    }
    auto names = browser_.FillCommandList(rows);
    listEmpty_ = names.empty();
    if (listEmpty_) names.emplace_back(texts::NothingToShow);
    fillList(list, names);

    int selected = -1;
    if (!listEmpty_)
        for (int i = 0; i < static_cast<int>(names.size()); ++i)
            if (sameName(names[static_cast<std::size_t>(i)], selection_.command)) {
                selected = i;
                break;
            }
    if (selected >= 0) {
        selectRow(list, selected);
        ShowSelectedEntry(1);
    } else {
        selectRow(list, 0);
        ShowSelectedEntry(1);
        const QSignalBlocker block(SSTab1_);
        SSTab1_->setCurrentIndex(0);
    }
    if (SSTab1_->currentIndex() == 2) List3_Click();
    else if (SSTab1_->currentIndex() == 3) List4_Click();
    if (selection_.findMatchLength > 0) Text1_->setFocus();
    else list->setFocus();
}

void Form1::List1_Click() { ShowSelectedEntry(1); }

void Form1::List2_Click() {
    QListWidget* list = lists_[1];
    if (selection_.listsStale) {
        selection_.listsTab = {selection_.program, selection_.scope};
        std::vector<std::string> commands;
        if (!listEmpty_)
            for (int i = 0; i < lists_[0]->count(); ++i) commands.push_back(str(lists_[0]->item(i)->text()));
        auto names = browser_.FillListsList(commands);
        if (names.empty()) names.emplace_back(texts::NothingToShow);
        fillList(list, names);
        selection_.listsStale = false;
        int row = 0;
        for (int i = 0; i < static_cast<int>(names.size()); ++i)
            if (!selection_.listToSelect.empty() && sameName(names[static_cast<std::size_t>(i)], selection_.listToSelect))
                row = i;
        selectRow(list, row);
    }
    selection_.listToSelect.clear();
    ShowSelectedEntry(2);
    list->setEnabled(true);
}

void Form1::List3_Click() {
    QListWidget* list = lists_[2];
    if (selection_.recentlyCreatedStale || list->count() == 0) {
        recentlyCreated_ = browser_.recentlyCreated();
        if (recentlyCreated_.empty())
            recentlyCreated_.push_back({std::string(texts::NothingToShow), selection_.program, selection_.scope,
                                        std::string(texts::NothingToShow)});
        std::vector<std::string> lines;
        for (const auto& e : recentlyCreated_) lines.push_back(e.line);
        fillList(list, lines);
        selection_.recentlyCreatedStale = false;
        selectRow(list, 0);
    }
    ShowSelectedEntry(3);
}

void Form1::List4_Click() {
    QListWidget* list = lists_[3];
    if (selection_.recentlyModifiedStale || list->count() == 0) {
        recentlyModified_ = browser_.recentlyModified(settings_.recentlyModified());
        if (recentlyModified_.empty())
            recentlyModified_.push_back({std::string(texts::NothingToShow), selection_.program, selection_.scope,
                                         std::string(texts::NothingToShow)});
        std::vector<std::string> lines;
        for (const auto& e : recentlyModified_) lines.push_back(e.line);
        fillList(list, lines);
        selection_.recentlyModifiedStale = false;
        selectRow(list, 0);
    }
    ShowSelectedEntry(4);
}

void Form1::SSTab1_Click(int tab) {
    if (modifyInProgress_ || savechanges_->isEnabled()) return;
    switch (tab) {
    case 0:
        selection_.program = selection_.commandsTab.program;
        selection_.scope = selection_.commandsTab.scope;
        ShowSelectedEntry(1);
        break;
    case 1:
        selection_.program = selection_.listsTab.program;
        selection_.scope = selection_.listsTab.scope;
        List2_Click();
        break;
    case 2: List3_Click(); break;
    case 3: List4_Click(); break;
    default: return;
    }
    if (tab <= 1 && selection_.findMatchLength > 0) Text1_->setFocus();
    else lists_[tab]->setFocus();
}

bool Form1::editOpen() const { return modifyInProgress_ || newItemPending_ || savechanges_->isEnabled(); }

// Refuses what would leave an open edit, saying so in the status line.
bool Form1::refusedWhileEditing() {
    if (!editOpen()) return false;
    session_.prompter().status(texts::FinishEditFirst);
    return true;
}

void Form1::showTab(int tab) {
    if (refusedWhileEditing()) return;
    selection_.findMatchLength = 0;
    if (SSTab1_->currentIndex() == tab) SSTab1_Click(tab);
    else SSTab1_->setCurrentIndex(tab);
}

// --- the shown entry -----------------------------------------------------------------------------

void Form1::showText(const std::string& crlfText) {
    const QSignalBlocker block(Text1_);
    Text1_->setPlainText(widgetText(crlfText));
}

void Form1::ShowSelectedEntry(int list) {
    Text1_->show();
    RichTextBox1_->hide();
    if (newItemPending_ || list < 1 || list > 4) return;
    QListWidget* widget = lists_[list - 1];
    const int row = widget->currentRow();
    if (row < 0) return;
    std::string name, program = selection_.program, scope = selection_.scope;
    if (list <= 2) {
        name = str(widget->item(row)->text());
    } else {
        const auto& entries = list == 3 ? recentlyCreated_ : recentlyModified_;
        if (row >= static_cast<int>(entries.size())) return;
        const auto& e = entries[static_cast<std::size_t>(row)];
        name = e.name;
        program = selection_.program = e.program;
        scope = selection_.scope = e.scope;
    }
    selection_.command = name;
    const auto found = browser_.entry(program, scope, name);
    if (!found) {
        description_->clear();
        ActiveStates_->clear();
        showgraphic_->hide();
        currentRow_.reset();
        for (auto* a : {commandclone_, commandrename_, commanddelete_, convert2Plain_, convert2Advanced_, commandDebugBasic_})
            a->setEnabled(false);
        if (name != texts::NothingToShow) {
            showText(std::string(texts::NoLongerAvailable));
            noLongerAvailable_ = true;
            Text6_->setText(qs(names::UserDefined));
            Text1_->setReadOnly(true);
            modify_->setEnabled(false);
            commandEdit_->setEnabled(false);
            commandmenu_->menuAction()->setEnabled(false);
        } else {
            showText(std::string(texts::PickDifferent));
            // Nothing is shown, so there is nothing to change either, and no box speaks of a
            // command (the boxes of the file read before would).
            for (auto* box : {Text2_, Text3_, Text5_, Text6_}) box->clear();
            Text5_->setPalette(readOnlyPalette());
            modify_->setEnabled(false);
            commandEdit_->setEnabled(false);
        }
        return;
    }
    noLongerAvailable_ = false;
    finder_.setCurrent(*found);
    currentRow_ = found->ID;
    shownGroup_ = found->owner;
    shownBody_ = found->script;
    shownType_ = found->Type;
    Text6_->setText(qs(found->owner));
    Text5_->setText(qs(typeName(found->Type)));
    if (found->Type == "L") {
        QPalette palette = Text5_->palette();
        palette.setColor(QPalette::Base, QColor(255, 0, 0));
        Text5_->setPalette(palette);
    } else {
        Text5_->setPalette(readOnlyPalette());
    }
    Text2_->setText(qs(program));
    Text3_->setText(qs(scope));
    showRow(*found);
}

void Form1::showRow(const UserRow& row) {
    body_ = ShowBody(row, session_.store(), session_.reader().file().info.languageName);
    showText(body_.text);
    description_->setText(qs(body_.description));
    ActiveStates_->setText(qs(body_.activeStates));
    if (selection_.findMatchLength > 0) {
        QTextCursor c(Text1_->document());
        c.setPosition(std::max(0, selection_.findMatchStart));
        c.setPosition(std::min(Text1_->document()->characterCount() - 1, selection_.findMatchStart + selection_.findMatchLength),
                      QTextCursor::KeepAnchor);
        Text1_->setTextCursor(c);
    } else {
        Text1_->moveCursor(QTextCursor::Start);
    }
    modifyInProgress_ = descriptionChanged_ = groupChanged_ = false;
    toPlainText_ = toAdvancedScript_ = false;
    currentKind_ = row.Type;
    bodyBefore_ = body_.text;
    commandmenu_->menuAction()->setEnabled(true);
    const auto& allowed = body_.allowed;
    convert2Plain_->setEnabled(allowed.toPlainText);
    convert2Advanced_->setEnabled(allowed.toAdvancedScript);
    commandclone_->setEnabled(allowed.clone);
    commandDebugBasic_->setEnabled(allowed.debugWithBasic && dragonAvailable());
    commandrename_->setEnabled(allowed.rename);
    commanddelete_->setEnabled(allowed.remove);
    // The body box takes typing only once a modify has begun.
    Text1_->setReadOnly(true);
    modify_->setEnabled(allowed.modify);
    commandEdit_->setEnabled(allowed.modify);
    showgraphic_->setVisible(body_.showGraphic);
}

void Form1::showgraphic_Click() {
    if (!currentRow_) return;
    const auto row = session_.store().userById(*currentRow_);
    if (!row) return;
    Label7_->setText(qs(vocabrella::texts::ProcessingFormatted));
    Label7_->repaint();
    try {
        const auto document = rtf::parse(formattedPart(session_.reader().file(), *row));
        loadRichText(*RichTextBox1_->document(), document, logicalDpiX());
    } catch (const FormatError&) {
        Label7_->clear();
        session_.prompter().message(texts::FormattedUnreadable, row->name);
        return;
    }
    Text1_->hide();
    RichTextBox1_->show();
    showgraphic_->hide();
    Label7_->clear();
    lists_[0]->setFocus();
}

// --- editing states ------------------------------------------------------------------------------

void Form1::BeginEdit() {
    savechanges_->setEnabled(true);
    abandon_->setEnabled(true);
    modify_->setEnabled(false);
    for (auto* l : lists_) l->setEnabled(false);
    setMenusEnabled(false);
}

void Form1::modify_Click() {
    if (noLongerAvailable_ || !currentRow_) return;
    if (!newItemPending_) Text1_->setFocus();
    if (Slider1_->value() == 10) Slider1_->setValue(8); // the body box must be seen to be edited
    BeginEdit();
    modifyInProgress_ = true;
    Text1_->setReadOnly(false);
    Text1_->setFocus();
    if (shownType_ == "A" && shownBody_ == texts::EmptyAdvancedScript) {
        QTextCursor c(Text1_->document());
        c.setPosition(10); // after the tab of the empty script ("\r\n" counts one here)
        Text1_->setTextCursor(c);
    }
}

void Form1::abandon_Click() {
    // The store was not changed by the pending edit: the refresh shows the command as stored,
    // and after an abandoned copy the command it copied.
    FlagScope abandoning(abandoning_);
    if (pendingNew_ && !pendingNew_->cloneOf.empty()) {
        showAgain({pendingNew_->tab, pendingNew_->place.program, pendingNew_->place.scope, pendingNew_->cloneOf});
        return;
    }
    reset(-1);
}

std::string Form1::bodyText() const {
    QString s = Text1_->toPlainText();
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return str(s);
}

void Form1::refreshAfterChange() {
    setCaption();
    selection_.recentlyCreatedStale = selection_.recentlyModifiedStale = selection_.listsStale = true;
    BuildProgramMenu();
    BuildGroupMenu();
    reset(-1);
}

// --- Debug with Basic ----------------------------------------------------------------------------

void Form1::CommandDebugBasic_Click() {
    if (!dragonAvailable()) return;
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    if (!currentRow_) return;
    const auto shown = session_.store().userById(*currentRow_);
    if (!shown) return;
    WindowWait waits;
    ops::DebugWithBasic(app_.dragon(), session_.prompter(), waits)
        .run(*shown, bodyText(), static_cast<platform::WindowHandle>(winId()));
}

// --- Find ----------------------------------------------------------------------------------------

FindForm& Form1::findForm() {
    if (!findform_) {
        findform_ = new FindForm(finder_, session_.prompter(),
                                 {[this]() -> CommandStore& { return session_.store(); },
                                  [this]() -> const Selection& { return selection_; }},
                                 this);
        installHelpKey(findform_, *help_, kHelpFind);
    }
    return *findform_;
}

void Form1::findmenu_Click(bool fromKey) {
    if (!fileOpen()) return;
    FindForm& form = findForm();
    if (!fromKey) form.showModal();
    if (!form.found()) return;
    const FindHit& hit = form.hit();
    selection_.program = hit.program;
    selection_.scope = hit.scope;
    selection_.command = hit.name;
    selection_.findMatchStart = hit.matchStart;
    selection_.findMatchLength = hit.matchLength;
    if (hit.type != "L") {
        reset(0);
        return;
    }
    selection_.listsTab = {hit.program, hit.scope};
    selection_.listToSelect = hit.name;
    selection_.listsStale = true;
    const bool onListsTab = SSTab1_->currentIndex() == 1;
    reset(1);
    if (onListsTab) SSTab1_Click(1); // the tab did not change, so it was not filled again
}

Form1::ShownEntry Form1::shownEntry() const {
    return {SSTab1_->currentIndex(), selection_.program, selection_.scope, selection_.command};
}

void Form1::showAgain(const ShownEntry& entry) {
    selection_.program = entry.program;
    selection_.scope = entry.scope;
    selection_.command = entry.name;
    if (entry.tab == 1) {
        selection_.listsTab = {entry.program, entry.scope};
        selection_.listToSelect = entry.name;
    }
    selection_.recentlyCreatedStale = selection_.recentlyModifiedStale = true;
    reset(-1);
    if (entry.tab < 0 || entry.tab > 3) return;
    showTab(entry.tab);
    if (entry.tab < 2) return;
    // The recent lists hold entries of every place: the one with this place and name.
    const auto& entries = entry.tab == 2 ? recentlyCreated_ : recentlyModified_;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (sameName(entries[i].name, entry.name) && sameName(entries[i].program, entry.program) &&
            sameName(entries[i].scope, entry.scope)) {
            selectRow(lists_[entry.tab], static_cast<int>(i));
            ShowSelectedEntry(entry.tab + 1);
            break;
        }
}

void Form1::showPendingName(int tab, const std::string& name) {
    QListWidget* list = lists_[tab];
    const QSignalBlocker block(list);
    if (listEmpty_ && tab == 0) list->clear(); // "Nothing to show" gives way to the new name
    list->addItem(qs(name));
    list->setCurrentRow(list->count() - 1);
}

void Form1::savechanges_Click() {
    ops::Workspace ws(app_, clock_);
    const std::string body = bodyText();
    std::string savedName = selection_.command;
    bool newList = false;
    ops::Outcome outcome;
    if (pendingNew_ && !pendingNew_->cloneOf.empty()) {
        savedName = pendingNew_->name;
        ops::CloneEdits edits;
        edits.body = body;
        if (!pendingNew_->list) {
            edits.description = str(description_->text());
            edits.group = str(Text6_->text());
        }
        outcome = ops::CloneCommand(ws, pendingNew_->place, pendingNew_->cloneOf, savedName, std::move(edits)).run();
        if (!outcome.isDone()) {
            Text1_->setFocus(); // still editing: the user corrects the copy
            return;
        }
        const ShownEntry copy{pendingNew_->tab, pendingNew_->place.program, pendingNew_->place.scope, savedName};
        if (!outcome.text.empty()) session_.prompter().message(outcome.text, outcome.title);
        refreshAfterChange();
        showAgain(copy);
        return;
    }
    if (pendingNew_) {
        savedName = pendingNew_->name;
        newList = pendingNew_->list;
        if (newList)
            outcome = ops::NewList(ws, pendingNew_->name, body).run();
        else
            outcome = ops::NewCommand(ws, {pendingNew_->place, pendingNew_->shownCommand, currentKind_,
                                           pendingNew_->name, body, str(description_->text()), str(Text6_->text()),
                                           true})
                          .run();
    } else {
        if (!currentRow_) return;
        ops::Edit edit;
        edit.rowId = *currentRow_;
        edit.bodyBefore = bodyBefore_;
        edit.body = body;
        edit.conversion = toPlainText_        ? ops::Conversion::ToPlainText
                          : toAdvancedScript_ ? ops::Conversion::ToAdvancedScript
                                              : ops::Conversion::None;
        if (descriptionChanged_) edit.description = str(description_->text());
        if (groupChanged_) edit.group = str(Text6_->text());
        outcome = ops::SaveChanges(ws, std::move(edit)).run();
    }
    if (!outcome.isDone()) {
        if (outcome.reason == ops::Outcome::Reason::FileChangedMeanwhile) {
            // The file was read again: the edit survives only on the clipboard.
            QGuiApplication::clipboard()->setText(Text1_->toPlainText());
            refreshAfterChange();
        } else {
            Text1_->setFocus(); // still editing: the user corrects the body
        }
        return;
    }
    selection_.command = savedName;
    if (!outcome.text.empty()) session_.prompter().message(outcome.text, outcome.title);
    refreshAfterChange();
    if (newList) {
        showTab(1);
        if (const auto found = lists_[1]->findItems(qs(savedName), Qt::MatchExactly); !found.isEmpty())
            lists_[1]->setCurrentItem(found.front());
    }
}

// --- the "&Voc" menu -----------------------------------------------------------------------------

void Form1::commandnew_Click(const std::string& kind) {
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    showTab(0);
    NewCommandForm form(selection_.program, selection_.scope, storeLists(), this);
    installHelpKey(&form, *help_, kHelpNewCommand);
    form.exec();
    const std::string name = form.result();
    if (name.empty()) return;
    StartNewCommand(kind, name, ops::newCommandBody(kind));
}

NewCommandForm::Lists Form1::storeLists() {
    NewCommandForm::Lists lists;
    session_.store().forEachUser([&](const UserRow& row) {
        if (row.Type == "L") lists.names.push_back(row.name);
        return true;
    });
    lists.items = [this](const std::string& name) {
        const auto row = browser_.entry(names::GlobalCommands, names::GlobalCommands, name);
        return row ? ops::bodyForEditing(*row) : std::string();
    };
    return lists;
}

bool Form1::StartNewCommand(const std::string& kind, const std::string& name, const std::string& body) {
    ops::Workspace ws(app_, clock_);
    const ops::Place place{selection_.program, selection_.scope};
    const std::string shown = selection_.command;
    if (!ops::NewCommand::checkName(ws, {place, shown, kind, name, {}, {}, {}}).isDone()) return false;
    Label7_->clear(); // the reminder to use a new LIST has been followed
    Text5_->setText(qs(typeName(kind)));
    Text5_->setPalette(QPalette());
    Text6_->clear();
    description_->clear();
    newItemPending_ = true;
    pendingNew_ = PendingNew{place, shown, name, false, {}, 0};
    currentKind_ = kind;
    selection_.command = name;
    showPendingName(0, name);
    Text1_->setReadOnly(false);
    showText(body);
    Text1_->setFocus();
    BeginEdit();
    if (kind == "A") Text1_->moveCursor(QTextCursor::Down); // onto the empty middle line
    return true;
}

void Form1::commandnewlist_Click() {
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    const auto answer = session_.prompter().input(ops::texts::NewListPrompt, ops::texts::NewListTitle);
    if (!answer || answer->empty()) return;
    ops::Workspace ws(app_, clock_);
    if (!ops::NewList::checkName(ws, *answer).isDone()) return;
    {
        const QSignalBlocker block(SSTab1_);
        SSTab1_->setCurrentIndex(1);
    }
    selection_.program = selection_.scope = std::string(names::GlobalCommands);
    selection_.command = *answer;
    currentKind_ = "L";
    newItemPending_ = true;
    pendingNew_ = PendingNew{ops::globalPlace(), {}, *answer, true, {}, 1};
    showPendingName(1, *answer);
    Text5_->setText(qs(typeName("L")));
    Text1_->setReadOnly(false);
    showText({});
    Text1_->setFocus();
    BeginEdit();
}

void Form1::commandrename_Click() {
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    if (!currentRow_) return;
    ShownEntry shown = shownEntry();
    const std::string old = selection_.command;
    const bool isList = shownType_ == "L";
    const std::string prompt = std::string(texts::RenamePromptStart) +
                               std::string(isList ? texts::KindWordList : texts::KindWordCommand) +
                               std::string(texts::RenamePromptEnd);
    const auto answer = session_.prompter().input(prompt, ops::texts::RenamingTitle, old);
    if (!answer || answer->empty()) {
        showAgain(shown);
        return;
    }
    ops::Workspace ws(app_, clock_);
    const auto outcome = ops::RenameCommand(ws, {selection_.program, selection_.scope}, old, *answer).run();
    if (outcome.isDone()) shown.name = *answer;
    // Refused or declined, the file may still have been read again: the menus are rebuilt.
    refreshAfterChange();
    showAgain(shown);
}

void Form1::commandclone_Click() {
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    if (!currentRow_) return;
    const std::string source = selection_.command;
    const ops::Place place{selection_.program, selection_.scope};
    const bool isList = shownType_ == "L";
    std::string name;
    if (isList) {
        const auto answer = session_.prompter().input(ops::texts::NewListPrompt, ops::texts::NewListTitle);
        if (!answer || answer->empty()) return;
        name = *answer;
    } else {
        NewCommandForm form(place.program, place.scope, storeLists(), this);
        installHelpKey(&form, *help_, kHelpNewCommand);
        form.exec();
        name = form.result();
        if (name.empty()) return;
    }
    ops::Workspace ws(app_, clock_);
    if (!ops::CloneCommand::checkName(ws, place, source, name).isDone()) return;
    // The copy is edited before it is written: the boxes keep the source's body, description
    // and group, and "Save Changes" writes it under the new name.
    const int tab = SSTab1_->currentIndex();
    newItemPending_ = true;
    pendingNew_ = PendingNew{place, source, name, isList, source, tab};
    currentKind_ = shownType_;
    selection_.command = name;
    showPendingName(tab, name);
    if (Slider1_->value() == 10) Slider1_->setValue(8); // the body box must be seen to be edited
    Text1_->setReadOnly(false);
    Text1_->setFocus();
    BeginEdit();
}

void Form1::commanddelete_Click() {
    if (app_.RefreshIfChanged(true)) refreshAfterChange();
    const std::string name = selection_.command;
    const bool isList = currentRow_ && shownType_ == "L";
    const int tab = SSTab1_->currentIndex();
    // What is shown afterwards: the next command of the scope, else the scope's first.
    std::string next = name;
    if (!isList && tab == 0) {
        const int row = lists_[0]->currentRow();
        if (row >= 0 && row + 1 < lists_[0]->count()) next = str(lists_[0]->item(row + 1)->text());
    }
    ops::Workspace ws(app_, clock_);
    const auto outcome = isList ? ops::DeleteList(ws, name).run()
                                : ops::DeleteCommand(ws, {selection_.program, selection_.scope}, name).run();
    if (outcome.kind == ops::Outcome::Kind::Declined) return;
    if (outcome.isDone()) selection_.command = next;
    refreshAfterChange();
    if (tab == 1) showTab(1);
}

void Form1::commandconvert2Plain_Click() {
    if (!currentRow_) return;
    ops::Workspace ws(app_, clock_);
    if (!ops::startConversion(ws, *currentRow_, ops::Conversion::ToPlainText).outcome.isDone()) return;
    toPlainText_ = true;
    currentKind_ = "P";
    Text5_->setText(qs(typeName("P")));
    modify_Click();
}

void Form1::commandconvert2Advanced_Click() {
    if (!currentRow_) return;
    ops::Workspace ws(app_, clock_);
    const auto started = ops::startConversion(ws, *currentRow_, ops::Conversion::ToAdvancedScript);
    if (!started.outcome.isDone()) return;
    toAdvancedScript_ = true;
    currentKind_ = "A";
    Text5_->setText(qs(typeName("A")));
    showText(started.body);
    modify_Click();
}

// --- Reports -------------------------------------------------------------------------------------

void Form1::exportReport(const std::string& mode) {
    ops::Workspace ws(app_, clock_);
    QStringList commands;
    if (!listEmpty_)
        for (int i = 0; i < lists_[0]->count(); ++i) commands << lists_[0]->item(i)->text();
    ExportReportDialog dialog(ws, {mode, selection_, commands, hooks_.choosePdfFile}, *help_, this);
    dialog.exec();
    reset(-1);
}

void Form1::popupprint_Click() {
    namespace t = texts::report;
    QStringList lines{qs(std::string(t::ProgramLine) + selection_.program),
                      qs(std::string(t::ScopeLine) + selection_.scope),
                      qs(std::string(t::CommandNameLine) + selection_.command), QString()};
    lines << Text1_->toPlainText().split(QLatin1Char('\n'));
    PrintTarget target;
    target.printer = defaultPrinter();
    if (target.printer.isEmpty() && !installedPrinters().isEmpty()) target.printer = installedPrinters().front();
    if (target.printer.isEmpty()) {
        // No printer: the page goes into a PDF file named after the command.
        ops::Workspace ws(app_, clock_);
        QString stem = qs(selection_.command);
        stem.replace(QLatin1Char('<'), QLatin1Char('[')).replace(QLatin1Char('>'), QLatin1Char(']'));
        stem.replace(QLatin1Char('/'), QLatin1Char('_'));
        const auto proposed = ops::exportFolder(ws) / (str(stem) + ".pdf");
        const auto pdf = hooks_.choosePdfFile ? hooks_.choosePdfFile(proposed) : askForPdfFile(this, proposed);
        if (!pdf) return;
        target.pdfFile = *pdf;
    }
    const QString failed = printLines(lines, target);
    if (!failed.isEmpty()) session_.prompter().message(std::string(t::PrintFailed) + str(failed), {});
}

// --- File menu -----------------------------------------------------------------------------------

void Form1::showOpenedFile() {
    const auto& file = session_.reader().file();
    setCaption();
    showUser();
    selection_.group = std::string(names::AllGroups);
    selection_.allGroups = true;
    BuildProgramMenu();
    selection_.program = selection_.scope = std::string(names::GlobalCommands);
    if (file.info.commandCount >= 1)
        session_.store().forEachUser([&](const UserRow& first) {
            selection_.program = first.menu;
            selection_.scope = first.state;
            return false;
        });
    applyOptions();
    selection_.listsStale = selection_.recentlyCreatedStale = selection_.recentlyModifiedStale = true;
    BuildGroupMenu(); // chooses "All groups", which refreshes the window
    showDragonAvailability();
}

void Form1::choosePlace(const std::string& program, const std::string& scope) {
    selection_.program = program;
    selection_.scope = scope;
    reset(-1);
}

void Form1::FileOpenNoDialog(const fs::path& requested) {
    if (app_.FileOpenNoDialog(requested)) showOpenedFile();
}

void Form1::fileopen_Click() {
    // The dialog starts with the file opened last, or mycmds.dat in the user's home folder.
    const auto openfile = session_.store().parameters().openfile;
    const fs::path start = openfile && !openfile->empty()
                               ? fs::path(*openfile)
                               : fs::path(str(QDir::homePath())) / std::string(texts::DefaultOpenFile);
    std::optional<fs::path> chosen;
    if (hooks_.chooseFileToOpen) {
        chosen = hooks_.chooseFileToOpen(start);
    } else {
        QFileDialog dialog(this, qs(texts::OpenDialogTitle), qs(start.parent_path().string()));
        dialog.setNameFilters(qs(texts::OpenDialogFilter).split(QStringLiteral(";;")));
        dialog.setDefaultSuffix(QStringLiteral("dat"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.selectFile(qs(start.filename().string()));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = fs::path(str(dialog.selectedFiles().front()));
    }
    if (chosen) FileOpenNoDialog(*chosen);
}

// The window after its file was read again: menus rebuilt for all groups.
void Form1::showReadFile() {
    setCaption();
    showUser();
    selection_.group = std::string(names::AllGroups);
    selection_.allGroups = true;
    BuildProgramMenu();
    applyOptions();
    selection_.listsStale = selection_.recentlyCreatedStale = selection_.recentlyModifiedStale = true;
    BuildGroupMenu(); // chooses "All groups", which refreshes the window
}

void Form1::filereload_Click() {
    app_.filereload();
    showReadFile();
}

void Form1::FileRefresh_Click() {
    app_.FileRefresh();
    setCaption();
    selection_.recentlyModifiedStale = true;
    BuildProgramMenu();
    BuildGroupMenu();
    reset(-1);
}

void Form1::filepropertys_Click() {
    if (!fileOpen()) return;
    session_.prompter().table(app_.properties(), texts::PropertiesTitle);
}

void Form1::filereset_Click() { app_.filereset(); }

void Form1::rollbackdynamic_Click(int index) {
    const auto& entries = app_.rollbackEntries();
    if (index < 0 || index >= static_cast<int>(entries.size())) return;
    const std::string entry = entries[static_cast<std::size_t>(index)];
    // The question comes with what the backup holds that the file does not, and what goes.
    const auto preview = [this](const fs::path& backup, const fs::path& current) {
        return ops::restorePreview(backup, current, session_.home());
    };
    if (!app_.restore(entry, preview)) return;
    // The restored file may hold other programs and groups: start again from its first row.
    selection_.group = std::string(names::AllGroups);
    selection_.allGroups = true;
    BuildProgramMenu();
    selection_.program = selection_.scope = std::string(names::GlobalCommands);
    if (session_.reader().file().info.commandCount >= 1)
        session_.store().forEachUser([&](const UserRow& first) {
            selection_.program = first.menu;
            selection_.scope = first.state;
            return false;
        });
    selection_.listsStale = selection_.recentlyCreatedStale = selection_.recentlyModifiedStale = true;
    BuildGroupMenu();
    setCaption();
    showUser();
    FlagScope refresh(refreshing_);
    reset(-1);
}

void Form1::rollbackset_Click() {
    app_.rollbackset();
    showUser();
}

// --- the dynamic menus by keyboard -----------------------------------------------------------------

QMenu* Form1::dynamicMenu(DynamicMenu which) const {
    return which == DynamicMenu::Program ? appcommand_ : which == DynamicMenu::Scope ? statecommand_ : groupcommand_;
}

int Form1::entryCount(DynamicMenu which) const { return static_cast<int>(dynamicEntries(dynamicMenu(which)).size()); }

bool Form1::isSeparator(DynamicMenu which, int index) const {
    const auto entries = dynamicEntries(dynamicMenu(which));
    return index >= 0 && index < static_cast<int>(entries.size()) && entries[static_cast<std::size_t>(index)]->isSeparator();
}

void Form1::chooseEntry(DynamicMenu which, int index) {
    QMenu* m = dynamicMenu(which);
    m->hide();
    if (refusedWhileEditing()) return; // the menu itself is off meanwhile
    const auto entries = dynamicEntries(m);
    if (index < 0 || index >= static_cast<int>(entries.size())) return;
    entries[static_cast<std::size_t>(index)]->trigger();
}

} // namespace vocabrella::ui
