#include "ui/Form1.h"

#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "ops/Failures.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "shell/Settings.h"
#include "ui/AppIcon.h"
#include "ui/CommandLists.h"
#include "ui/CommandPane.h"
#include "ui/Dialogs.h"
#include "ui/EditMenu.h"
#include "ui/FileActions.h"
#include "ui/FileWatch.h"
#include "ui/FindForm.h"
#include "ui/NameList.h"
#include "ui/PlaceMenus.h"
#include "ui/Texts.h"
#include "ui/ToolsActions.h"
#include "ui/ViewMenu.h"
#include "ui/VocActions.h"
#include "ui/WindowText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace vocabrella::ui {
namespace {

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

} // namespace

WindowContext::WindowContext(Application& program, Form1& mainWindow)
    : app(program), session(program.session()), settings(program.settings()), window(mainWindow),
      browser(program.session().store(), selection) {}

bool WindowContext::fileOpen() const { return !session.reader().file().path.empty(); }

Prompter& WindowContext::prompter() const { return session.prompter(); }

Form1::Form1(Application& app, QWidget* parent) : QMainWindow(parent), ctx_(app, *this) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qs(texts::WindowTitle));
    setWindowIcon(appIcon());
    ctx_.help = new HelpWindow(ctx_.session.home() / "help", this);
    installHelpKey(this, *ctx_.help, kHelpMainWindow);
    if (ctx_.fileOpen()) {
        const auto& info = ctx_.session.reader().file().info;
        if (info.commandCount != 0 || info.listCount != 0)
            ctx_.namesAhead.start(ctx_.session.store(), ctx_.selection, info.commandCount >= 1);
    }
    buildControls();
    buildMenus();
    ctx_.watch = new FileWatch(ctx_, this);
    showOpenedFile(); // the file the program read at start-up
    app.setRoamingNotice([this] {
        RoamWarnDialog notice(*ctx_.help, this);
        installHelpKey(&notice, *ctx_.help, kHelpRoaming);
        notice.exec();
        return notice.neverAgain();
    });
}

Form1::~Form1() { ctx_.app.setRoamingNotice({}); }

int Form1::twips(int value) const {
    // 15 twips are one pixel at 96 dpi.
    return static_cast<int>(value * logicalDpiY() / 1440.0);
}

// --- construction -------------------------------------------------------------------------------

void Form1::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    // Made in the order the focus moves through them: the boxes, the lists, the body.
    ctx_.pane = new CommandPane(ctx_, central);
    splitPane_ = new SplitPane(central);
    ctx_.lists = new CommandLists(ctx_, splitPane_);
    ctx_.pane->addBodyBoxes(splitPane_);
    static_cast<SplitPane*>(splitPane_)->onResize = [this] { layoutSplit(); };

    splitSlider_ = new QSlider(Qt::Vertical, central);
    splitSlider_->setObjectName(QStringLiteral("Slider1"));
    splitSlider_->setRange(0, 10);
    splitSlider_->setPageStep(1);
    splitSlider_->setTickPosition(QSlider::TicksBothSides);
    splitSlider_->setInvertedAppearance(true); // 0 at the top, where the split then is
    splitSlider_->setFixedWidth(twips(450));

    auto* split = new QHBoxLayout;
    split->addWidget(splitPane_, 1);
    split->addWidget(splitSlider_);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(ctx_.pane->fields());
    layout->addLayout(ctx_.pane->buttons());
    layout->addLayout(split, 1);

    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("Label7"));
    countLabel_ = new QLabel(this);
    countLabel_->setObjectName(QStringLiteral("Label9"));
    statusBar()->addWidget(statusLabel_, 1);
    statusBar()->addPermanentWidget(countLabel_);

    setMinimumHeight(twips(5000));

    // F11 and F12 in the Commands and LISTs lists and the body box, and a click on the body.
    QPlainTextEdit* body = ctx_.pane->bodyBox();
    for (QObject* o : {static_cast<QObject*>(body->viewport()), static_cast<QObject*>(ctx_.lists->list(CommandLists::Commands)),
                       static_cast<QObject*>(ctx_.lists->list(CommandLists::Lists)), static_cast<QObject*>(body)})
        o->installEventFilter(this);
    connect(splitSlider_, &QSlider::valueChanged, this, [this](int v) {
        layoutSplit();
        ctx_.settings.setSlider(v);
    });
}

void Form1::buildMenus() {
    ctx_.files = new FileActions(ctx_, menuBar());

    editMenu_ = addMenu(menuBar(), "editmenu", texts::EditMenu);
    undoRedo_ = new EditMenu(
        editMenu_, ctx_.app, ctx_.clock, [this](const std::function<void()>& action) { guarded(action); },
        [this] { ctx_.lists->refreshAfterChange(); });
    connect(addEntry(editMenu_, "findmenu", texts::FindMenu), &QAction::triggered, this,
            [this] { guarded([&] { find(false); }); });
    connect(addEntry(editMenu_, "editoptions", texts::EditOptions), &QAction::triggered, this, [this] {
        OptionsDialog dialog(ctx_.settings, *ctx_.help, this);
        dialog.exec();
    });

    ctx_.view = new ViewMenu(ctx_, menuBar());
    ctx_.places = new PlaceMenus(ctx_, menuBar());
    ctx_.places->addGroupMenu(menuBar());
    ctx_.voc = new VocActions(ctx_, menuBar(), ctx_.places->menu(DynamicMenu::Group)->menuAction());
    ctx_.tools = new ToolsActions(ctx_, menuBar());

    auto* helpMenu = addMenu(menuBar(), "helpmenu", texts::HelpMenu);
    connect(addEntry(helpMenu, "helpcommand", texts::HelpCommand), &QAction::triggered, this,
            [this] { ctx_.help->Show(kHelpCommands); });
    connect(addEntry(helpMenu, "helpabout", texts::HelpAbout), &QAction::triggered, this, [this] {
        AboutDialog about(this);
        about.exec();
    });

    ctx_.files->addPrintMenu(ctx_.lists->list(CommandLists::Commands));
}

// --- placement -----------------------------------------------------------------------------------

void Form1::applyOptions() {
    const auto& o = ctx_.settings.options();
    const int size = o.fontsize > 0 ? o.fontsize : 10;
    QFont proportional(qs(o.font.empty() ? std::string(setting::Font.defaultValue) : o.font), size);
    QFont fixed(qs(o.fixedfont.empty() ? std::string(setting::FixedFont.defaultValue) : o.fixedfont), size);
    // Where the named font is missing, a fixed-pitch one must stand in: the recent lists line up
    // their columns with it.
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    ctx_.lists->applyFonts(proportional, fixed);
    ctx_.pane->applyFont(fixed);
    const QSignalBlocker block(splitSlider_);
    splitSlider_->setValue(std::clamp(o.slider, 0, 10));
    layoutSplit();
}

void Form1::restorePlacement() {
    const auto& o = ctx_.settings.options();
    if (o.formRight > o.formLeft && o.formBottom > o.formTop)
        setGeometry(o.formLeft, o.formTop, o.formRight - o.formLeft, o.formBottom - o.formTop);
    if (o.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void Form1::layoutSplit() {
    const int width = splitPane_->width();
    const int height = splitPane_->height();
    const int minimumTab = twips(350);
    const int gap = twips(60);
    const int v = splitSlider_->value();
    const int tabHeight = std::min(height, minimumTab + std::max(0, height - minimumTab - gap) * v / 10);
    const int bodyTop = std::min(height, tabHeight + gap);
    const int bodyHeight = v >= 10 ? 0 : std::max(0, height - bodyTop);
    ctx_.lists->tabs()->setGeometry(0, 0, width, tabHeight);
    ctx_.pane->bodyBox()->setGeometry(0, bodyTop, width, bodyHeight);
    ctx_.pane->formattedBox()->setGeometry(0, bodyTop, width, bodyHeight);
}

void Form1::setSlider(int value) { splitSlider_->setValue(std::clamp(value, 0, 10)); }

void Form1::makeRoomForBody() {
    if (splitSlider_->value() == 10) splitSlider_->setValue(8);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutSplit();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!ended()) {
        // The normal rectangle, also of a maximized window, so that it comes back the same.
        const QRect r = isMaximized() ? normalGeometry() : geometry();
        ctx_.settings.writeWindowPlacement(r.top(), r.left(), r.right() + 1, r.bottom() + 1, isMaximized());
        guarded([&] { ctx_.app.shutdown(); });
    }
    ctx_.help->close();
    event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    QPlainTextEdit* body = ctx_.pane->bodyBox();
    // F11 and F12 in the Commands and LISTs lists and the body box: Find Again and Find Previous
    // without the dialog, run when the key comes up.
    if ((watched == ctx_.lists->list(CommandLists::Commands) || watched == ctx_.lists->list(CommandLists::Lists) ||
         watched == body) &&
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
                    find(true);
                });
                return true;
            }
        }
    }
    // A click on the shown body begins its change.
    if (watched == body->viewport() && event->type() == QEvent::MouseButtonRelease && ctx_.edit.idle() &&
        !ctx_.lists->commandsEmpty() && ctx_.pane->modifyAllowed())
        guarded([&] { ctx_.pane->modify(); });
    return QMainWindow::eventFilter(watched, event);
}

// --- the program ---------------------------------------------------------------------------------

bool Form1::busy() const { return running_ > 0 || QApplication::activeModalWidget() != nullptr; }

void Form1::guarded(const std::function<void()>& action) {
    struct Running {
        int& depth;
        explicit Running(int& d) : depth(++d) {}
        ~Running() { --depth; }
    } running{running_};
    try {
        ops::translatingFailures(ctx_.prompter(), &ctx_.session.trace(), [&] {
            action();
            return ops::Outcome::done();
        });
    } catch (const EndProgram& end) {
        endProgram(end.exitCode());
    } catch (const std::exception& e) {
        ctx_.prompter().message(e.what());
    }
}

void Form1::endProgram(int exitCode) {
    if (ended()) return;
    exitCode_ = exitCode;
    emit programEnded(exitCode);
    close();
}

void Form1::setCaption() { setWindowTitle(qs(ctx_.app.caption())); }

bool Form1::dragonAvailable() const { return ctx_.app.dragonAvailable(); }

void Form1::showDragonAvailability() {
    if (dragonAvailable()) return;
    // The speech user's reload and backups, Dragon's path, and debugging in Dragon's editor.
    for (const char* name : {"filereload", "filereset", "rollbackset", "CommandDebugBasic"})
        if (auto* a = findChild<QAction*>(QString::fromLatin1(name))) a->setEnabled(false);
    ctx_.files->restoreMenu()->menuAction()->setEnabled(false);

    auto* note = findChild<QLabel*>(QStringLiteral("NoDragon"));
    if (!note) {
        note = new QLabel(this);
        note->setObjectName(QStringLiteral("NoDragon"));
        note->setToolTip(qs(texts::NoDragonWhy));
        statusBar()->insertPermanentWidget(1, note); // after the status label, before the counts
    }
    note->setText(qs(fileOpen() ? texts::NoDragonFileOpen : texts::NoDragonNoFile));
}

// --- what the window shows -----------------------------------------------------------------------

const BodyDisplay& Form1::bodyDisplay() const { return ctx_.pane->body(); }

void Form1::showOpenedFile() { ctx_.files->showOpenedFile(); }

void Form1::choosePlace(const std::string& program, const std::string& scope) {
    ctx_.selection.program = program;
    ctx_.selection.scope = scope;
    reset(-1);
}

void Form1::reset(int tab) { ctx_.lists->reset(tab); }

void Form1::FileOpenNoDialog(const std::filesystem::path& path) { ctx_.files->openNoDialog(path); }

void Form1::refreshFile() { ctx_.files->refresh(); }

void Form1::showTab(int tab) { ctx_.lists->showTab(tab); }

void Form1::setMenusEnabled(bool on) {
    for (auto* m : {ctx_.files->menu(), editMenu_, ctx_.view->menu(), ctx_.places->menu(DynamicMenu::Program),
                    ctx_.places->menu(DynamicMenu::Scope), ctx_.voc->menu(), ctx_.places->menu(DynamicMenu::Group),
                    ctx_.tools->menu()})
        m->menuAction()->setEnabled(on);
    // Without an open file (no Dragon, nothing opened yet) there is nothing to make or change.
    if (!fileOpen())
        for (auto* m : {ctx_.voc->menu(), ctx_.tools->menu()}) m->menuAction()->setEnabled(false);
    ctx_.lists->tabs()->tabBar()->setEnabled(on);
    undoRedo_->update(on && fileOpen());
    if (on && ctx_.watch) ctx_.watch->editEnded();
}

bool Form1::refusedWhileEditing() {
    if (!editOpen()) return false;
    ctx_.prompter().status(texts::FinishEditFirst);
    return true;
}

// --- Find ----------------------------------------------------------------------------------------

FindForm& Form1::findForm() {
    if (!findForm_) {
        findForm_ = new FindForm(ctx_.finder, ctx_.prompter(),
                                 {[this]() -> CommandStore& { return ctx_.session.store(); },
                                  [this]() -> const Selection& { return ctx_.selection; }},
                                 this);
        installHelpKey(findForm_, *ctx_.help, kHelpFind);
    }
    return *findForm_;
}

void Form1::find(bool fromKey) {
    if (!fileOpen()) return;
    FindForm& form = findForm();
    if (!fromKey) form.showModal();
    if (!form.found()) return;
    ctx_.lists->showHit(form.hit());
}

// --- the dynamic menus by keyboard -----------------------------------------------------------------

int Form1::entryCount(DynamicMenu which) const { return ctx_.places->entryCount(which); }

bool Form1::isSeparator(DynamicMenu which, int index) const { return ctx_.places->isSeparator(which, index); }

void Form1::chooseEntry(DynamicMenu which, int index) {
    ctx_.places->menu(which)->hide();
    if (refusedWhileEditing()) return; // the menu itself is off meanwhile
    ctx_.places->trigger(which, index);
}

} // namespace vocabrella::ui
