// The window: vocabrella [--home DIR] [FILE]

#include "cmdfile/Clock.h"
#include "cmdfile/Errors.h"
#include "shell/HomeFolder.h"
#include "shell/Session.h"
#include "shell/Settings.h"
#include "ui/Form1.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>

#include <optional>

namespace fs = std::filesystem;
using namespace vocabrella;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vocabrella"));
    QApplication::setApplicationVersion(QStringLiteral(VOCABRELLA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vocabrella: the voice commands of a Dragon user"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption homeOption(QStringLiteral("home"),
                                        QStringLiteral("Home folder (store, logs, settings)."), QStringLiteral("DIR"));
    parser.addOption(homeOption);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A command file to open."), QStringLiteral("[FILE]"));
    parser.process(app);

    const auto homeText = parser.value(homeOption);
    const fs::path home =
        HomeFolder::resolve(homeText.isEmpty() ? std::nullopt : std::optional<fs::path>(homeText.toStdString()));

    ui::QtPrompter prompter;
    SystemClock clock;
    int exitCode = 0;
    try {
        Session session(home, prompter, clock);
        Settings settings(home, session.trace());
        const auto arguments = parser.positionalArguments();
        const fs::path file = arguments.isEmpty() ? fs::path() : fs::path(arguments.front().toStdString());
        settings.GetOptions(file.empty() ? file : fs::absolute(file));

        ui::Form1 window(session, settings);
        prompter.attach(&window, window.findChild<QLabel*>(QStringLiteral("Label7")),
                        window.findChild<QLabel*>(QStringLiteral("Label9")));
        bool ended = false;
        QObject::connect(&window, &ui::Form1::programEnded, &app, [&](int code) {
            ended = true;
            exitCode = code;
            QCoreApplication::exit(code);
        });
        window.restorePlacement();
        window.show();
        if (!file.empty()) window.FileOpenNoDialog(file);
        if (!ended) exitCode = QApplication::exec();
        if (ended) return exitCode;
    } catch (const EndProgram& end) {
        return end.exitCode();
    }
    return exitCode;
}
