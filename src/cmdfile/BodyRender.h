#pragma once

#include <cstdint>
#include <string>

namespace vocabrella {

class ByteReader;
class KeyNames;
class Prompter;

// Recorder and step-by-step bodies are binary event and step lists; these turn them into the
// readable lines (joined with CR LF) that the store keeps as the body. Both consume exactly the
// bytes of the body, so the cursor ends just after it.
std::string renderRecorderBody(ByteReader& reader, const KeyNames& keys);

// Tells the user of unknown step codes: the first one of a parse only, since a file that holds
// one often holds hundreds, each of which would otherwise want its own click.
class UnknownStepReport {
public:
    explicit UnknownStepReport(Prompter& prompter) : prompter_(prompter) {}
    void report(std::uint8_t code, std::size_t position);
    // A new parse (or a single record read on its own) reports again.
    void startAgain() { reported_ = false; }

private:
    Prompter& prompter_;
    bool reported_ = false;
};

// An unknown step code is reported and reading goes on with the next byte.
std::string renderStepBody(ByteReader& reader, const KeyNames& keys, UnknownStepReport& unknownSteps);

} // namespace vocabrella
