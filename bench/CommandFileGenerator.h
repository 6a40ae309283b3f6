// Realistic command files of any size for the benchmarks: mostly scripts, some KEYS, text,
// step-by-step and recorder commands, spread over about twenty programs and three scopes,
// with LISTs, state names and a few duplicate names.
#pragma once

#include "CommandFileBuilder.h"

#include <cstddef>
#include <cstdint>

namespace vocabrella::bench {

struct GeneratorOptions {
    std::size_t commands = 1000;
    std::uint8_t versionCode = 7;  // 3..7
    std::uint8_t languageCode = 9;
    std::uint64_t seed = 1;
};

// The builder holding the generated commands and LISTs, for callers that also want the
// records' positions after build().
testsupport::CommandFileBuilder makeCommandFile(const GeneratorOptions& options);

// The same options give the same bytes with every compiler and standard library.
testsupport::Bytes generate(const GeneratorOptions& options);

}  // namespace vocabrella::bench
