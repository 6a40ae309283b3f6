// The window: vocabrella [--home DIR] [--dragon-root DIR] [--demo] [ARG]
// ARG is a command file to open, "global commands", or nothing (the window that had the focus
// decides what is shown first).

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/System.h"
#include "shell/DemoCommandFile.h"
#include "shell/HomeFolder.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"
#include "ui/AppIcon.h"
#include "ui/QtPrompter.h"
#include "ui/RunningProgram.h"

#include <QApplication>
#include <QCommandLineParser>

#include <iostream>
#include <optional>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

// The merge tool to put into a demo installation: beside this program, in the installed tools
// folder, or where it was built.
std::optional<fs::path> mergeTool() {
    auto tool = HomeFolder::shippedTool("mergemycmds", VOCABRELLA_MERGE_TOOL);
    if (tool) tool = fs::weakly_canonical(*tool);
    return tool;
}

// The demo speech user's installation inside the home folder, made on the first --demo start.
fs::path demoInstallation(const fs::path& home) {
    HomeFolder::prepare(home); // the home folder first, so that it is a complete one
    const fs::path root = home / "demo-dragon";
    if (fs::exists(root / "engine.ini")) return root;
    platform::InstallationOptions options;
    options.writeCommands = [](const fs::path& file) { writeFileAtomically(file, demoCommandFile()); };
    options.mergeTool = mergeTool();
    fs::remove_all(root); // a half-made one from an interrupted start
    platform::createInstallation(root, options);
    return root;
}

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vocabrella"));
    QApplication::setApplicationVersion(QStringLiteral(VOCABRELLA_VERSION));
    QApplication::setWindowIcon(ui::appIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vocabrella: the voice commands of a Dragon user"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption homeOption(QStringLiteral("home"),
                                        QStringLiteral("Home folder (store, logs, settings)."), QStringLiteral("DIR"));
    const QCommandLineOption rootOption(QStringLiteral("dragon-root"),
                                        QStringLiteral("The simulated Dragon installation (else $DRAGON_ROOT)."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Start against a demo installation in the home folder "
                                                       "(made when missing)."));
    parser.addOptions({homeOption, rootOption, demoOption});
    parser.addPositionalArgument(QStringLiteral("ARG"),
                                 QStringLiteral("A command file to open, or \"global commands\"."), QStringLiteral("[ARG]"));
    parser.process(qapp);

    const auto homeText = parser.value(homeOption);
    const fs::path home =
        HomeFolder::resolve(homeText.isEmpty() ? std::nullopt : std::optional<fs::path>(os::pathFrom(homeText.toStdString())));
    const auto rootText = parser.value(rootOption);
    std::optional<fs::path> root =
        platform::SimulatedDragon::rootFrom(rootText.isEmpty() ? std::nullopt : std::optional<fs::path>(os::pathFrom(rootText.toStdString())));
    if (parser.isSet(demoOption)) {
        try {
            root = demoInstallation(home);
        } catch (const std::exception& e) {
            std::cerr << "vocabrella: cannot make the demo installation: " << e.what() << '\n';
            return 1;
        }
    }

    ui::QtPrompter prompter;
    SystemClock clock;
    ui::RunningProgram program({home, parser.positionalArguments().join(QLatin1Char(' ')).toStdString()}, root,
                               prompter, clock);
    if (!program.start()) return program.exitCode();
    QObject::connect(&program, &ui::RunningProgram::finished, &qapp, [](int code) { QCoreApplication::exit(code); });
    const int code = QApplication::exec();
    return program.ended() ? program.exitCode() : code;
}
