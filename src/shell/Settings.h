#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

class CommandStore;
class Trace;

// One key of the settings file with the default that reading it writes when it is missing.
struct SettingKey {
    std::string_view key;
    std::string_view defaultValue;
};

// The keys of section "Vocabrella", and "mrucount" of the section named after a command file.
namespace setting {
inline constexpr SettingKey Maximized{"maximized", "0"};
inline constexpr SettingKey FormTop{"form top", "50"};
inline constexpr SettingKey FormLeft{"form left", "50"};
inline constexpr SettingKey FormRight{"form right", "576"};
inline constexpr SettingKey FormBottom{"form bottom", "634"};
inline constexpr SettingKey SwapUser{"swap user", "VocabrellaSwapUser"};
inline constexpr SettingKey SaveUser{"save user", "Ask"};
inline constexpr SettingKey NoConvertKeysHelp{"no convert keys help", "0"};
inline constexpr SettingKey DontShowAutoImport{"dont show auto import", "False"};
inline constexpr SettingKey DontShowAutoImportReg{"dont show auto import reg", "False"};
inline constexpr SettingKey DontShowReopenUser{"dont show reopen user", "False"};
inline constexpr SettingKey DontShowFasterReopenUser{"dont show faster reopen user", "False"};
inline constexpr SettingKey DontShowRoamSaveUser{"dont show roam save user", "False"};
inline constexpr SettingKey Slider{"slider", "5"};
inline constexpr SettingKey NumberMenus{"number menus", "True"};
inline constexpr SettingKey Font{"font", "MS Sans Serif"};
inline constexpr SettingKey FontSize{"fontsize", "10"};
inline constexpr SettingKey FixedFont{"fixedfont", "Courier New"};
inline constexpr SettingKey MruCount{"mrucount", "0"};

inline constexpr std::string_view True = "True";
inline constexpr std::string_view False = "False";
inline constexpr std::string_view Checked = "-1"; // written by "do not show again" check boxes
} // namespace setting

// The values read by GetOptions and held for the run.
struct Options {
    bool maximized = false;
    int formTop = 50, formLeft = 50, formRight = 576, formBottom = 634;
    std::string swapUser, saveUser;
    bool noConvertKeysHelp = false;
    bool dontShowAutoImport = false, dontShowAutoImportReg = false, dontShowReopenUser = false,
         dontShowFasterReopenUser = false, dontShowRoamSaveUser = false;
    int slider = 5; // 0 to 10
    bool numberMenus = true;
    std::string font, fixedfont;
    int fontsize = 10;
};

// The settings file Vocabrella.INI in the home folder: the user's preferences and, in a section
// named by each command file's full path, that file's recently modified commands.
// A missing or empty key reads as its default, which is written back, so the file fills itself
// with every key on the first run.
class Settings {
public:
    static constexpr std::size_t kMruLimit = 13;

    Settings(const std::filesystem::path& home, Trace& trace);
    const std::filesystem::path& path() const { return path_; }

    // The value of key in section ("Vocabrella" when empty); a missing or empty value is
    // replaced by the default, which is written into the file unless it is empty itself.
    std::string GetIniSetting(std::string_view key, std::string_view defaultValue, std::string_view section = {});
    std::string GetIniSetting(const SettingKey& key, std::string_view section = {}) {
        return GetIniSetting(key.key, key.defaultValue, section);
    }

    // Reads every setting, and the recently modified list of the command file.
    void GetOptions(const std::filesystem::path& commandFile);
    const Options& options() const { return options_; }

    // Written at once when changed.
    void writeWindowPlacement(int top, int left, int right, int bottom, bool maximized);
    void setSlider(int value);
    void setNumberMenus(bool on);
    void setNoConvertKeysHelp();
    void setDontShowAutoImport();
    void setDontShowRoamSaveUser();

    // Recently modified list: entries program TAB scope TAB name, newest first, at most 13.
    // A LIST's entry has "Global Commands" as program and scope.
    static std::string mruEntry(std::string_view program, std::string_view scope, std::string_view name, bool isList);
    const std::vector<std::string>& recentlyModified() const { return recent_; }
    // Puts the entry at the top; with lookForExisting an equal entry moves up instead of
    // being added again.
    void MRUUpdate(std::string_view entry, bool lookForExisting);
    // Writes the list into the command file's section, dropping malformed entries and those
    // whose command is no longer in the store, numbered without gaps, and reads it back.
    void MRUOutput(CommandStore& store, const std::filesystem::path& commandFile);

private:
    bool readBoolean(const SettingKey& key);
    int readInteger(const SettingKey& key);
    void readRecent(const std::string& section, int count);
    void write(const SettingKey& key, std::string_view value);

    std::filesystem::path path_;
    Trace& trace_;
    Options options_;
    std::vector<std::string> recent_;
};

} // namespace vocabrella
