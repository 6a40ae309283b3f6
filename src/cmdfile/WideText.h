#pragma once

// UTF-8 inside, UTF-16 at the Windows API: the two conversions, for the Windows sources only.

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace vocabrella::os {

inline std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

inline std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// The system's message for error, for exceptions that carry it.
inline std::error_code systemError(DWORD error) { return std::error_code(static_cast<int>(error), std::system_category()); }

// A command line that the C runtime's parser splits back into exactly these arguments: each
// quoted when it holds a blank or a quote, backslashes doubled only before a quote.
inline std::wstring commandLine(const std::vector<std::string>& arguments) {
    std::wstring line;
    for (const auto& text : arguments) {
        const std::wstring argument = wide(text);
        if (!line.empty()) line += L' ';
        if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
            line += argument;
            continue;
        }
        line += L'"';
        for (auto it = argument.begin();; ++it) {
            std::size_t backslashes = 0;
            while (it != argument.end() && *it == L'\\') ++it, ++backslashes;
            if (it == argument.end()) {
                line.append(backslashes * 2, L'\\');
                break;
            }
            line.append(*it == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
            line += *it;
        }
        line += L'"';
    }
    return line;
}

} // namespace vocabrella::os
