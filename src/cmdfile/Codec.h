#pragma once

#include <string>
#include <string_view>

// Command files hold Windows-1252 bytes; everything above the file format holds UTF-8.
namespace vocabrella::codec {

// Every byte has a UTF-8 form (the five unassigned bytes map to the C1 controls, as Windows does).
std::string cp1252ToUtf8(std::string_view bytes);
void appendCp1252AsUtf8(std::string& out, std::string_view bytes);

// Throws EncodingError for invalid UTF-8 or a character with no Windows-1252 form.
std::string utf8ToCp1252(std::string_view text);
bool hasCp1252Form(std::string_view text);

// Number of characters of UTF-8 text (= its length in Windows-1252 bytes when it has that form).
std::size_t characterCount(std::string_view utf8);

} // namespace vocabrella::codec
