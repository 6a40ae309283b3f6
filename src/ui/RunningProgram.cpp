#include "ui/RunningProgram.h"

#include "cmdfile/Errors.h"
#include "cmdfile/Prompter.h"
#include "shell/ApplicationTexts.h"
#include "shell/platform/SimulatedDragon.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"
#include "ui/QtPrompter.h"
#include "ui/SpokenControls.h"
#include "ui/Texts.h"

#include <QCoreApplication>
#include <QLabel>

namespace vocabrella::ui {

RunningProgram::RunningProgram(StartupOptions options, std::optional<std::filesystem::path> dragonRoot,
                               Prompter& prompter, Clock& clock)
    : prompter_(prompter), dragon_(platform::chooseDragon(dragonRoot)), app_([&] {
          options.withoutDragon = !dragon_.present; // no Dragon: the file alone
          return std::make_unique<Application>(std::move(options), *dragon_.dragon, prompter, clock);
      }()) {
    timer_.setInterval(kPollMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &RunningProgram::poll);
}

RunningProgram::~RunningProgram() {
    timer_.stop();
    spoken_.reset();
    window_.reset();
}

bool RunningProgram::start() {
    try {
        if (!app_->load()) {
            ended_ = true;
            return false;
        }
        window_ = std::make_unique<Form1>(*app_);
        if (auto* qt = dynamic_cast<QtPrompter*>(&prompter_))
            qt->attach(window_.get(), window_->findChild<QLabel*>(QStringLiteral("Label7")),
                       window_->findChild<QLabel*>(QStringLiteral("Label9")));
        connect(window_.get(), &Form1::programEnded, this, &RunningProgram::end);

        if (app_->dragonAvailable()) connectDragon();
        app_->session().trace().Tracy(vocabrella::texts::trace::BeforeForm2Load);
        const auto context = app_->SelectCallingContext();
        window_->showOpenedFile(); // the menus again, now with the spoken controls told
        window_->choosePlace(context.program, context.scope);
        window_->restorePlacement();
        window_->show();
        window_->raise();
        window_->activateWindow();
        if (app_->dragonAvailable()) {
            dragon_.dragon->windows().bringToFront(handle_);
            // A file named on the command line is what is on screen: an import would go into the
            // speech user's file behind it.
            if (!context.fileGiven) offerImport();
        }
    } catch (const EndProgram& e) {
        exitCode_ = e.exitCode();
        ended_ = true;
        if (window_) window_->endProgram(exitCode_);
        return false;
    }
    if (window_->ended()) return false;
    if (app_->dragonAvailable() && dragon_.simulated) timer_.start(); // only the simulation is polled
    return true;
}

void RunningProgram::connectDragon() {
    auto& dragon = *dragon_.dragon;
    auto* simulated = dragon_.simulated;
    handle_ = simulated ? simulated->windows().open(app_->caption(), "Vocabrella",
                                                    QCoreApplication::applicationFilePath().toStdString(), false)
                        : static_cast<platform::WindowHandle>(window_->winId());
    try {
        spoken_ = std::make_unique<SpokenControls>(*window_, dragon.voiceCommands(), handle_);
    } catch (const platform::DragonError&) {
        prompter_.message(texts::voice::MenuFailed, texts::voice::MenuFailedTitle);
        throw EndProgram(1);
    }
    window_->hooks().menus = spoken_.get();
    // Dragon runs the actions of the spoken controls as keystrokes to the window in front. On the
    // desktop they reach the window's menus themselves; the simulation hands them over.
    if (simulated)
        simulated->windows().onKeys([this](platform::WindowHandle to, const std::string& keys) {
            if (to == handle_ && spoken_) spoken_->keys(keys);
        });
    dragon.engine().onSpeakerChange([this] { app_->speakerChanged(); });
}

void RunningProgram::poll() {
    if (ended_ || !window_) return;
    if (dragon_.simulated) window_->guarded([&] { dragon_.simulated->pollEvents(); });
}

void RunningProgram::end(int exitCode) {
    timer_.stop();
    const bool wasRunning = !ended_;
    ended_ = true;
    exitCode_ = exitCode;
    if (wasRunning) emit finished(exitCode);
}

RunningProgram::ImportAnswer RunningProgram::showImportDialog() {
    AutoImportDialog dialog(window_.get());
    const bool import = dialog.exec() == QDialog::Accepted;
    return {import, dialog.dontShowAgain()};
}

void RunningProgram::offerImport() {
    auto& settings = app_->settings();
    if (app_->ownCommandsPresent() || settings.options().dontShowAutoImport) return;
    const ImportAnswer answer = askImport ? askImport() : showImportDialog();
    if (answer.dontShowAgain) settings.setDontShowAutoImport();
    if (!answer.import) return; // skipped
    bool merged = false;
    window_->guarded([&] { merged = app_->importOwnCommands() && app_->mergePerformed(); });
    if (window_->ended()) return;
    if (merged) {
        prompter_.message(vocabrella::texts::ImportedSuccessfully, vocabrella::texts::ImportedTitle);
        settings.setDontShowAutoImport();
        window_->guarded([&] { window_->refreshFile(); });
    } else {
        prompter_.message(vocabrella::texts::ImportFailed, vocabrella::texts::ImportFailedTitle);
    }
}

} // namespace vocabrella::ui
