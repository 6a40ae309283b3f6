// dragonsim: creates a simulated Dragon installation and sends events to running programs.
#include "DemoCommands.h"

#include "shell/HomeFolder.h"
#include "shell/platform/SimulatedInstallation.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

namespace fs = std::filesystem;
using namespace vocabrella::platform;

int main(int argc, char** argv) {
    CLI::App app{"Creates a simulated Dragon NaturallySpeaking installation and sends it events"};
    app.require_subcommand(1);

    std::string dir;
    std::string version = "12.3";
    InstallationOptions options;
    std::string commands;
    bool demo = false;
    auto* init = app.add_subcommand("init", "Create a complete installation in DIR (which must not exist or be empty)");
    init->add_option("DIR", dir, "Installation folder")->required();
    init->add_option("--version", version, "Dragon version MAJOR.MINOR")->capture_default_str();
    init->add_option("--user", options.user, "Speech user")->capture_default_str();
    init->add_option("--language", options.language, "The user's language identifier")->capture_default_str();
    init->add_flag("--roaming", options.roaming, "Make the user a roaming user");
    auto* commandsOption = init->add_option("--commands", commands, "Command file to install as the user's mycmds.dat");
    init->add_flag("--demo", demo, "Install the demo command file")->excludes(commandsOption);

    std::string name;
    auto* speaker = app.add_subcommand("speaker", "Make NAME Dragon's current speech user (created when new)");
    speaker->add_option("DIR", dir, "Installation folder")->required();
    speaker->add_option("NAME", name, "Speech user")->required();

    std::string words;
    auto* say = app.add_subcommand("say", "Tell running programs that Dragon heard WORDS");
    say->add_option("DIR", dir, "Installation folder")->required();
    say->add_option("WORDS", words, "The words heard")->required();

    CLI11_PARSE(app, argc, argv);

    try {
        if (*init) {
            const auto parsed = parseDragonVersion(version);
            if (!parsed) throw std::runtime_error("Not a Dragon version: " + version);
            options.majorVersion = parsed->first;
            options.engineMinor = parsed->second;
            if (!commands.empty()) options.commands = fs::path(commands);
            if (demo) options.writeCommands = writeDemoCommandFile;
#ifdef VOCABRELLA_MERGE_TOOL
            options.mergeTool = vocabrella::HomeFolder::shippedTool("mergemycmds", VOCABRELLA_MERGE_TOOL);
#else
            options.mergeTool = vocabrella::HomeFolder::shippedTool("mergemycmds", {});
#endif
            createInstallation(dir, options);
        } else if (*speaker) {
            changeSpeaker(dir, name);
        } else if (*say) {
            sayWords(dir, words);
        }
    } catch (const std::exception& e) {
        std::cerr << "dragonsim: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
