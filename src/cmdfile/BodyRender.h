#pragma once

#include <string>

namespace vocabrella {

class ByteReader;
class KeyNames;
class Prompter;

// Recorder and step-by-step bodies are binary event and step lists; these turn them into the
// readable lines (joined with CR LF) that the store keeps as the body. Both consume exactly the
// bytes of the body, so the cursor ends just after it.
std::string renderRecorderBody(ByteReader& reader, const KeyNames& keys);
// An unknown step code is reported through the prompter and reading goes on with the next byte.
std::string renderStepBody(ByteReader& reader, const KeyNames& keys, Prompter& prompter);

} // namespace vocabrella
