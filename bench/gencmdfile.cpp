// Writes a generated command file for benchmarks and manual trials.
#include "CommandFileGenerator.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    vocabrella::bench::GeneratorOptions options;
    unsigned versionCode = options.versionCode;
    unsigned languageCode = options.languageCode;
    std::filesystem::path output;

    CLI::App app{"Write a deterministic command file of generated commands and LISTs"};
    app.add_option("--commands", options.commands, "number of commands")->required();
    app.add_option("--version-code", versionCode, "format version code")->required()->check(CLI::Range(3, 7));
    app.add_option("--language", languageCode, "language code")->check(CLI::Range(0, 255));
    app.add_option("--seed", options.seed, "generator seed");
    app.add_option("-o,--output", output, "file to write")->required();
    CLI11_PARSE(app, argc, argv);

    options.versionCode = static_cast<std::uint8_t>(versionCode);
    options.languageCode = static_cast<std::uint8_t>(languageCode);
    try {
        const auto bytes = vocabrella::bench::generate(options);
        vocabrella::testsupport::writeBytes(output, bytes);
        std::cout << output.string() << ": " << bytes.size() << " bytes\n";
    } catch (const std::exception& error) {
        std::cerr << "vocabrella-gencmdfile: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
