#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings_table.h"

namespace voxloom {

// Connects one key to the field that owns its value. `get` gives the value as it is
// written; `set` applies a value read (already normalised to its type, so an int is
// decimal digits and a bool "1" or "0"; a float keeps all its digits, as a valid
// number) and clamps it as the owner's control would.
struct SettingBinding {
  std::function<std::string()> get;
  std::function<void(const std::string&)> set;
  explicit operator bool() const { return static_cast<bool>(get); }
};

// One section as it is written: keys in file order, values as written.
struct SettingsSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> keys;
};

// The settings file and the owners of its values. Each key is either bound to its
// owner or, while nothing owns it, kept as read (or its default), so that a file read
// and written again keeps every key.
class Settings {
 public:
  Settings();

  // Bindings; `key` must be a key of kSettingRows (checked, a typo aborts at start-up).
  void bind(std::string_view key, SettingBinding binding);
  void bindInt(std::string_view key, int& field, int low, int high);
  void bindInt(std::string_view key, std::function<int()> get, std::function<void(int)> set);
  void bindBool(std::string_view key, bool& field);
  void bindBool(std::string_view key, std::function<bool()> get, std::function<void(bool)> set);
  void bindFloat(std::string_view key, long double& field);
  void bindText(std::string_view key, std::string& field);
  void bindText(std::string_view key, std::function<std::string()> get,
                std::function<void(const std::string&)> set);
  // The numbered RandomSourceHttp1 ... keys; without a binding the list read is kept.
  void bindUrlList(std::vector<std::string>& list) { urlList_ = &list; }

  // Runs once all RANDOMSOURCE keys are read and applied: selects the stored source.
  std::function<void()> afterRandomSource;

  // Reads the file and applies every value in table order. A missing or malformed file
  // gives the defaults. So does a file that exists but cannot be read (no permission, a
  // folder or FIFO, larger than kMaxSettingsFileBytes); that file is kept: save() will
  // not write over it, so the user's keys are not replaced by defaults. Returns the one
  // message for that case, empty otherwise.
  std::string load(const std::string& path);
  void loadText(std::string_view text);
  // Whether `path` names the file that load() could not read (same file, or same path
  // where nothing is there now).
  bool keepsUnread(const std::string& path) const;

  // Every section and key as saving now would write them, in file order.
  std::vector<SettingsSection> sections() const;
  // The whole file as saving now would write it.
  std::string fileText() const;
  // Writes the file whole through a temporary file beside it; the previous file stays
  // intact when this fails. Creates the settings folder when it is missing. Refuses
  // (false) the file that load() could not read.
  bool save(const std::string& path) const;

  // What saving now would write for row `index` of kSettingRows.
  std::string valueText(std::size_t index) const;
  std::string valueText(std::string_view key) const { return valueText(settingIndex(key)); }
  const std::vector<std::string>& urlList() const { return urlList_ ? *urlList_ : ownUrlList_; }
  bool isBound(std::string_view key) const { return bool(bindings_[settingIndex(key)]); }

 private:
  struct ForeignKey {
    std::string section, key, value;
  };
  std::string unboundDefault(std::size_t index) const;

  std::array<SettingBinding, kSettingCount> bindings_;
  std::array<std::string, kSettingCount> stored_;  // unbound keys: the value read or default
  std::vector<std::string> ownUrlList_;
  std::vector<std::string>* urlList_ = nullptr;
  std::vector<ForeignKey> foreign_;  // keys of other versions, written back unchanged
  struct UnreadFile {
    std::string path;  // absolute; empty when the last load read its file or found none
    bool statKnown = false;
    unsigned long long device = 0, inode = 0;
  } unread_;
};

// A settings file is a few kilobytes; one beyond this is not read (nor written over).
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{1} << 20;

inline constexpr const char* kSettingsFileName = "voxloom.ini";
inline constexpr const char* kSettingsWriteErrorText = "Can't write the settings file '%s'.";
// The message a failed save shows, with the file's path in it.
std::string settingsWriteError(const std::string& path);
// What a save says when it would replace the file that could not be read.
std::string settingsKeptUnreadText(const std::string& path);

}  // namespace voxloom
