// A home folder and a simulated Dragon installation, the program loaded over them and its main
// window, for the window's tests; and the command files they open.
#pragma once

#include "CommandFileBuilder.h"
#include "ScriptedPrompter.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/System.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"
#include "shell/Settings.h"
#include "ui/Form1.h"
#include "ui/NameList.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vocabrella::testsupport {

namespace fs = std::filesystem;

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// The time of the system, with more patience where the program waits for another program. A
// run of short sleeps one straight after another is the program polling: for the merge tool to
// rewrite the file, it checks 51 times, 100 ms apart. Under Wine on a busy machine the tool's
// start alone can take longer than that, and the save would be reported as not done. In the
// Windows build, the sleeps of a run after its 40th are ten times as long; every other sleep,
// and every sleep on Linux, is as asked.
class PatientClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override { return system_.now(); }
    void sleep(std::chrono::milliseconds duration) override {
        run_ = std::chrono::steady_clock::now() - lastWake_ < kWithinRun ? run_ + 1 : 1;
        system_.sleep(run_ > kPatientAfter ? duration * kStretch : duration);
        lastWake_ = std::chrono::steady_clock::now();
    }

private:
    static constexpr auto kWithinRun = std::chrono::milliseconds(500);
    static constexpr int kPatientAfter = 40;
#ifdef _WIN32
    static constexpr int kStretch = 10;
#else
    static constexpr int kStretch = 1;
#endif
    SystemClock system_;
    std::chrono::steady_clock::time_point lastWake_{};
    int run_ = 0;
};

// The spoken controls' view of the dynamic menus, recorded.
struct RecordingMenuListener final : ui::MenuListener {
    struct Call {
        bool opened;
        ui::DynamicMenu menu;
        int words;
    };
    std::vector<Call> calls;
    void menuBuilt(ui::DynamicMenu m, int words) override { calls.push_back({false, m, words}); }
    void menuOpened(ui::DynamicMenu m, int words) override { calls.push_back({true, m, words}); }
};

class GuiHome {
public:
    // The speech user "Speaker" starts with an empty command file unless one is given; a
    // roaming user's when roaming is true.
    explicit GuiHome(std::optional<CommandFileBuilder> userFile = std::nullopt, bool roaming = false)
        : home_(tempFolder() / "home"), root_(tempFolder() / "dragon") {
        platform::InstallationOptions options;
        options.roaming = roaming;
        if (userFile) options.writeCommands = [&](const fs::path& file) { userFile->writeFile(file); };
        options.mergeTool = fs::path(VOCABRELLA_MERGE_TOOL);
        platform::createInstallation(root_, options);
        start();
    }
    // The speech user's file written by the given function (the demo file, say).
    explicit GuiHome(const std::function<void(const fs::path&)>& writeUserFile)
        : home_(tempFolder() / "home"), root_(tempFolder() / "dragon") {
        platform::InstallationOptions options;
        options.writeCommands = writeUserFile;
        options.mergeTool = fs::path(VOCABRELLA_MERGE_TOOL);
        platform::createInstallation(root_, options);
        start();
    }
    ~GuiHome() {
        form.reset();
        app.reset();
    }
    GuiHome(const GuiHome&) = delete;
    GuiHome& operator=(const GuiHome&) = delete;

    // A new program and window over the same home folder (the previous ones are gone first).
    void start() {
        form.reset();
        app.reset();
        session = nullptr;
        settings = nullptr;
        dragon.emplace(root_);
        app = std::make_unique<Application>(StartupOptions{home_, {}}, *dragon, prompter, clock);
        if (!app->load()) throw std::runtime_error("the program did not load");
        session = &app->session();
        settings = &app->settings();
        form = std::make_unique<ui::Form1>(*app);
        form->hooks().menus = &listener;
        form->resize(900, 700);
    }

    const fs::path& root() const { return root_; }
    fs::path userFile() const {
        const auto layout = platform::InstallationLayout::of(root_);
        const auto roamingFile = layout.roamingCacheFolder() / "Speaker" / "current" / "mycmds.dat";
        return fs::exists(roamingFile) ? roamingFile : layout.usersFolder() / "Speaker" / "current" / "mycmds.dat";
    }
    const fs::path& home() const { return home_; }
    fs::path folder() const { return tempFolder(); }
    // The folder as the program writes paths: Qt gives '/' on Windows too.
    fs::path tempFolder() const { return os::pathFrom(QDir::toNativeSeparators(dir_.path()).toStdString()); }

    fs::path write(CommandFileBuilder& builder, const std::string& name = "test.dat") {
        const auto path = folder() / name;
        builder.writeFile(path);
        return path;
    }
    fs::path open(CommandFileBuilder& builder, const std::string& name = "test.dat") {
        const auto path = write(builder, name);
        form->FileOpenNoDialog(path);
        return path;
    }

    template <class T> T* child(const char* name) const { return form->findChild<T*>(QString::fromLatin1(name)); }
    QAction* action(const char* name) const { return child<QAction>(name); }
    QMenu* menu(const char* name) const { return child<QMenu>(name); }
    ui::NameList* list(int n) const { return child<ui::NameList>(("List" + std::to_string(n)).c_str()); }
    QString text(const char* lineEdit) const { return child<QLineEdit>(lineEdit)->text(); }
    QString body() const { return child<QPlainTextEdit>("Text1")->toPlainText(); }

    // The dynamic entries of a menu (separators included), in order.
    std::vector<QAction*> entries(const char* menuName) const {
        std::vector<QAction*> out;
        for (auto* a : menu(menuName)->actions())
            if (a->property("entryName").isValid()) out.push_back(a);
        return out;
    }
    QStringList captions(const char* menuName) const {
        QStringList out;
        for (auto* a : entries(menuName)) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
    // Chooses the entry whose store name is given, as the user would.
    void choose(const char* menuName, const QString& name) const {
        for (auto* a : entries(menuName))
            if (a->property("entryName").toString() == name) {
                a->trigger();
                return;
            }
        QFAIL(qPrintable("no entry " + name + " in " + menuName));
    }
    QStringList items(int n) const {
        QStringList out;
        for (int i = 0; i < list(n)->count(); ++i) out << list(n)->item(i)->text();
        return out;
    }
    // Selects the entry of a list with this text, as a click does.
    void select(int n, const QString& text) const {
        const int row = list(n)->rowOf(text, Qt::CaseSensitive);
        QVERIFY2(row >= 0, qPrintable("no entry " + text));
        list(n)->setCurrentRow(row);
    }

    ScriptedPrompter prompter;
    PatientClock clock;
    RecordingMenuListener listener;
    std::optional<platform::SimulatedDragon> dragon; // outlives the program
    std::unique_ptr<Application> app;
    Session* session = nullptr;
    Settings* settings = nullptr;
    std::unique_ptr<ui::Form1> form;

private:
    QTemporaryDir dir_;
    fs::path home_, root_;
};

// A small PNG picture, as the hex digits an RTF picture carries.
inline std::string pngHex(int width = 4, int height = 3) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toHex().toStdString();
}

inline std::string rtfWithPicture(const std::string& pictureGroup) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs24 Dear \\b Sir\\b0\\par " + pictureGroup +
           "\\par}";
}

inline BuiltCommand command(const std::string& name, std::uint8_t kind, const std::string& body,
                            const std::string& group = {}) {
    BuiltCommand c;
    c.name = name;
    c.kind = kind;
    c.text = body;
    c.group = group;
    return c;
}

inline BuiltCommand inProgram(BuiltCommand c, const std::string& module) {
    c.scopeByte = kScopeApplication;
    c.module = module;
    return c;
}

inline BuiltCommand inWindow(BuiltCommand c, const std::string& module, const std::string& title) {
    c.scopeByte = kScopeWindow;
    c.module = module;
    c.windowTitle = title;
    return c;
}

// Global commands of every kind, two programs, a window scope whose title looks like a numbered
// menu entry, sleeping commands, three groups, LISTs used by commands and one used by none.
inline CommandFileBuilder standardFile() {
    CommandFileBuilder b;
    auto open = command("open <app>", kKindKeys, "{Ctrl+o}", "Office");
    open.lists = {"app"};
    b.add(open);
    b.add(command("say hello", kKindText, "hello\r\nworld"));
    auto letter = command("letterhead", kKindText, "Dear Sir", "Office");
    letter.formatted = rtfWithPicture("{\\pict\\pngblip\\picwgoal600\\pichgoal450 " + pngHex() + "}");
    b.add(letter);
    auto recorder = command("replay", kKindRecorder, {});
    recorder.rawBody = recorderBody({RecorderGroup{}}, {event::mouse(event::kMouseMove, 120, 45), event::key(65, 64)});
    b.add(recorder);
    auto steps = command("steps", kKindStepByStep, {});
    steps.rawBody = stepByStepBody({step::wait(1500), step::pressKey(65, kShift | kCtrl)});
    b.add(steps);
    b.add(command("script it", kKindScript, "SendKeys \"x\""));
    auto advanced = command("advanced", kKindAdvancedScript, "Sub Main\r\n\tBeep\r\nEnd Sub", "Office");
    advanced.description = "beeps once";
    advanced.states = {"Dictation", "Spelling"};
    b.add(advanced);
    auto paint = command("paint <color>", kKindAdvancedScript, "Sub Main\r\nEnd Sub", "Mail");
    paint.lists = {"color"};
    b.add(paint);
    b.add(command("path keys", kKindKeys, "c:\\\\temp"));
    auto secret = command("secret", kKindAdvancedScript, {});
    secret.encryption = 1;
    secret.encryptionBlock = std::string("\x01\x02\x03", 3);
    b.add(secret);
    b.add(inWindow(command("wake up", kKindKeys, "{Ctrl+w}"), "Global Commands", "Asleep"));
    auto notepadOpen = inProgram(command("open <app>", kKindKeys, "{Alt+f}o", "Office"), "notepad");
    notepadOpen.lists = {"app"};
    b.add(notepadOpen);
    b.add(inProgram(command("save file", kKindKeys, "{Ctrl+s}", "Mail"), "notepad"));
    b.add(inProgram(command("bold that", kKindKeys, "{Ctrl+b}", "Office"), "winword"));
    b.add(inWindow(command("close doc", kKindKeys, "{Ctrl+F4}", "Office"), "winword", "Document1 - Word"));
    b.add(BuiltList("app", {"notepad", "word"}));
    b.add(BuiltList("color", {"red", "blue"}));
    b.add(BuiltList("unused", {"x"}));
    return b;
}

} // namespace vocabrella::testsupport
