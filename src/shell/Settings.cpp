#include "shell/Settings.h"

#include "cmdfile/Format.h"
#include "cmdfile/Store.h"
#include "cmdfile/Trace.h"
#include "shell/ProfileFile.h"
#include "shell/Texts.h"
#include "cmdfile/System.h"

#include <algorithm>

namespace vocabrella {
namespace fs = std::filesystem;

Settings::Settings(const fs::path& home, Trace& trace) : path_(home / texts::SettingsFileName), trace_(trace) {}

std::string Settings::GetIniSetting(std::string_view key, std::string_view defaultValue, std::string_view section) {
    if (section.empty()) section = texts::ApplicationName;
    const ProfileFile file(path_);
    auto value = file.read(section, key);
    if (!value.empty()) return value;
    // A settings file that cannot be written leaves the defaults in force; nothing to stop for.
    if (!defaultValue.empty()) file.write(section, key, defaultValue);
    return std::string(defaultValue);
}

// A value the conversion cannot read counts as the default rather than stopping the program.
bool Settings::readBoolean(const SettingKey& key) {
    return profileBoolean(GetIniSetting(key)).value_or(profileBoolean(key.defaultValue).value_or(false));
}

int Settings::readInteger(const SettingKey& key) {
    return profileInteger(GetIniSetting(key)).value_or(profileInteger(key.defaultValue).value_or(0));
}

void Settings::GetOptions(const fs::path& commandFile) {
    Options o;
    o.maximized = readInteger(setting::Maximized) == 1;
    o.formTop = readInteger(setting::FormTop);
    o.formLeft = readInteger(setting::FormLeft);
    o.formRight = readInteger(setting::FormRight);
    o.formBottom = readInteger(setting::FormBottom);

    // Without a file there is no list; an empty section name would mean the program's own.
    recent_.clear();
    if (!commandFile.empty()) {
        const std::string section = os::pathText(commandFile);
        readRecent(section, profileInteger(GetIniSetting(setting::MruCount, section)).value_or(0));
    }

    o.swapUser = GetIniSetting(setting::SwapUser);
    o.saveUser = GetIniSetting(setting::SaveUser);
    o.noConvertKeysHelp = readBoolean(setting::NoConvertKeysHelp);
    o.dontShowAutoImport = readBoolean(setting::DontShowAutoImport);
    o.dontShowAutoImportReg = readBoolean(setting::DontShowAutoImportReg);
    o.dontShowReopenUser = readBoolean(setting::DontShowReopenUser);
    o.dontShowFasterReopenUser = readBoolean(setting::DontShowFasterReopenUser);
    o.dontShowRoamSaveUser = readBoolean(setting::DontShowRoamSaveUser);
    o.slider = std::clamp(readInteger(setting::Slider), 0, 10);
    o.numberMenus = readBoolean(setting::NumberMenus);
    o.font = GetIniSetting(setting::Font);
    o.fontsize = readInteger(setting::FontSize);
    o.fixedfont = GetIniSetting(setting::FixedFont);
    options_ = std::move(o);
}

void Settings::readRecent(const std::string& section, int count) {
    // The list holds 13; a larger count in a hand-edited file must not overrun it.
    count = std::clamp(count, 0, static_cast<int>(kMruLimit));
    recent_.clear();
    for (int i = 1; i <= count; ++i) recent_.push_back(GetIniSetting(std::to_string(i), {}, section));
}

void Settings::write(const SettingKey& key, std::string_view value) {
    ProfileFile(path_).write(texts::ApplicationName, key.key, value);
}

void Settings::writeWindowPlacement(int top, int left, int right, int bottom, bool maximized) {
    write(setting::FormTop, std::to_string(top));
    write(setting::FormLeft, std::to_string(left));
    write(setting::FormRight, std::to_string(right));
    write(setting::FormBottom, std::to_string(bottom));
    write(setting::Maximized, maximized ? "1" : "0");
    options_.formTop = top;
    options_.formLeft = left;
    options_.formRight = right;
    options_.formBottom = bottom;
    options_.maximized = maximized;
}

void Settings::setSlider(int value) {
    options_.slider = std::clamp(value, 0, 10);
    write(setting::Slider, std::to_string(options_.slider));
}

void Settings::setNumberMenus(bool on) {
    options_.numberMenus = on;
    write(setting::NumberMenus, on ? setting::True : setting::False);
}

void Settings::setNoConvertKeysHelp() {
    options_.noConvertKeysHelp = true;
    write(setting::NoConvertKeysHelp, setting::Checked);
}

void Settings::setDontShowAutoImport() {
    options_.dontShowAutoImport = true;
    write(setting::DontShowAutoImport, setting::Checked);
}

void Settings::setDontShowRoamSaveUser() {
    options_.dontShowRoamSaveUser = true;
    write(setting::DontShowRoamSaveUser, setting::Checked);
}

std::string Settings::mruEntry(std::string_view program, std::string_view scope, std::string_view name, bool isList) {
    if (isList) program = scope = names::GlobalCommands;
    std::string entry(program);
    entry.append("\t").append(scope).append("\t").append(name);
    return entry;
}

void Settings::MRUUpdate(std::string_view entry, bool lookForExisting) {
    trace_.Tracy(texts::trace::MRUUpdate, lookForExisting ? setting::True : setting::False);
    if (lookForExisting)
        if (const auto found = std::find(recent_.begin(), recent_.end(), entry); found != recent_.end()) {
            recent_.erase(found);
            recent_.insert(recent_.begin(), std::string(entry));
            return;
        }
    recent_.insert(recent_.begin(), std::string(entry));
    if (recent_.size() > kMruLimit) recent_.resize(kMruLimit);
}

void Settings::MRUOutput(CommandStore& store, const fs::path& commandFile) {
    trace_.Tracy(texts::trace::MRUOutput);
    if (commandFile.empty()) return;
    const std::string section = os::pathText(commandFile);
    const ProfileFile file(path_);
    int n = 0;
    for (const auto& entry : recent_) {
        const auto first = entry.find('\t');
        const auto second = first == std::string::npos ? first : entry.find('\t', first + 1);
        if (second == std::string::npos || entry.find('\t', second + 1) != std::string::npos) {
            trace_.Tracy(texts::trace::BadMru, entry);
            continue;
        }
        const std::string_view view(entry);
        if (!store.findUser(view.substr(0, first), view.substr(first + 1, second - first - 1), view.substr(second + 1))) {
            trace_.Tracy(texts::trace::MruNotFound, entry);
            continue;
        }
        ++n;
        trace_.Tracy(std::to_string(n), entry);
        file.write(section, std::to_string(n), entry);
    }
    file.write(section, setting::MruCount.key, std::to_string(n));
    trace_.Tracy(texts::trace::MruCount, std::to_string(n));
    readRecent(section, n);
}

} // namespace vocabrella
