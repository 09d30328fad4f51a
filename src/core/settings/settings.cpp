#include "core/settings/settings.h"

// Texts are kept as the bytes they are (UTF-8 or not); no conversion is wanted.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION  // Debian's header defines its templates only on request
#include <SimpleIni.h>

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "core/settings/setting_values.h"
#include "core/util/replace_file.h"
#include "core/util/user_file.h"

namespace voxloom {

namespace {

constexpr const char* kUrlKey = "RandomSourceHttp";
constexpr const char* kUrlSection = "RANDOMSOURCE";
// The main window's client width when it opens, for the level window's place beside it.
constexpr int kMainWindowWidth = 720;

std::size_t rowOf(std::string_view key) {
  const std::size_t index = settingIndex(key);
  if (index >= kSettingCount) {
    std::fprintf(stderr, "voxloom: no setting named %.*s\n", static_cast<int>(key.size()),
                 key.data());
    std::abort();
  }
  return index;
}

// n for "RandomSourceHttpn" of the RANDOMSOURCE section written as this program writes
// it (no leading zero), 0 for every other key.
std::size_t urlListNumber(const char* section, const char* key) {
  if (strcasecmp(section, kUrlSection) != 0 || strncasecmp(key, kUrlKey, 16) != 0) return 0;
  const char* digits = key + 16;
  if (*digits < '1' || *digits > '9') return 0;
  std::size_t n = 0;
  for (; *digits != '\0'; ++digits) {
    if (*digits < '0' || *digits > '9' || n > 100'000'000) return 0;
    n = n * 10 + static_cast<std::size_t>(*digits - '0');
  }
  return n;
}

int parsedInt(const std::string& text) {
  return parseSettingInt(text).value_or(0);
}

void makeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), 0755);  // existing folders are fine
}

std::string absolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

// Only section lines that have keys after them and key lines reach the INI parser: a
// huge file of junk then costs one pass over its bytes, not a section for every line.
std::string keyLinesOnly(std::string_view text) {
  std::string out;
  std::string_view pendingSection;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) continue;
    line.remove_prefix(first);
    if (line[0] == '[') {
      if (line.find(']') != std::string_view::npos) pendingSection = line;
      continue;
    }
    if (line[0] == ';' || line[0] == '#' || line.find('=') == std::string_view::npos) continue;
    if (!pendingSection.empty()) {
      out.append(pendingSection).push_back('\n');
      pendingSection = {};
    }
    const std::size_t start = out.size();
    out.append(line).push_back('\n');
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '\0', ' ');
  }
  return out;
}

// Whether a name read from a file can be written back and read as the same name: the
// reader takes a section name to its "]" and a key to its "=", across line breaks.
bool writableName(std::string_view name, std::string_view ends) {
  if (name.empty() || name.front() == '[' || name.front() == ';' || name.front() == '#')
    return false;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (blank(name.front()) || blank(name.back())) return false;
  for (const char c : name)
    if (c == '\r' || c == '\n' || ends.find(c) != std::string_view::npos) return false;
  return true;
}

}  // namespace

std::string settingsWriteError(const std::string& path) {
  std::string text = kSettingsWriteErrorText;
  text.replace(text.find("%s"), 2, path);
  return text;
}

std::string settingsKeptUnreadText(const std::string& path) {
  return "The settings file '" + path +
         "' could not be read when the program started, so it is not written over.";
}

Settings::Settings() {
  for (std::size_t i = 0; i < kSettingCount; ++i) stored_[i] = unboundDefault(i);
}

void Settings::bind(std::string_view key, SettingBinding binding) {
  bindings_[rowOf(key)] = std::move(binding);
}

void Settings::bindInt(std::string_view key, int& field, int low, int high) {
  bind(key, {[&field] { return std::to_string(field); },
             [&field, low, high](const std::string& v) {
               field = std::clamp(parsedInt(v), low, high);
             }});
}

void Settings::bindInt(std::string_view key, std::function<int()> get,
                       std::function<void(int)> set) {
  bind(key, {[get] { return std::to_string(get()); },
             [set](const std::string& v) { set(parsedInt(v)); }});
}

void Settings::bindBool(std::string_view key, bool& field) {
  bind(key, {[&field] { return std::string(field ? "1" : "0"); },
             [&field](const std::string& v) { field = parsedInt(v) != 0; }});
}

void Settings::bindBool(std::string_view key, std::function<bool()> get,
                        std::function<void(bool)> set) {
  bind(key, {[get] { return std::string(get() ? "1" : "0"); },
             [set](const std::string& v) { set(parsedInt(v) != 0); }});
}

void Settings::bindFloat(std::string_view key, long double& field) {
  bind(key, {[&field] { return formatSettingFloat(field); },
             [&field](const std::string& v) { field = parseSettingFloat(v).value_or(field); }});
}

void Settings::bindText(std::string_view key, std::string& field) {
  bind(key, {[&field] { return field; }, [&field](const std::string& v) { field = v; }});
}

void Settings::bindText(std::string_view key, std::function<std::string()> get,
                        std::function<void(const std::string&)> set) {
  bind(key, {std::move(get), std::move(set)});
}

std::string Settings::unboundDefault(std::size_t index) const {
  const SettingRow& row = kSettingRows[index];
  if (row.defaultText != nullptr) return row.defaultText;
  // Keys whose default is the owner's state at start-up: the state a fresh window has.
  const std::string_view key = row.key;
  if (key == "RecSampleRate") return "22050";
  if (key == "RecResolution" || key == "RecNormalize") return "1";
  if (key == "RecBufferTimeMilliseconds") return "100";
  if (key == "LiveAudioSourceTimeSeconds") return "10";
  if (key == "LevelWindowLeftPosition")
    return std::to_string(parsedInt(valueText(settingIndex("WindowPosLeft"))) + kMainWindowWidth +
                          8);
  if (key == "LevelWindowTopPosition") return valueText(settingIndex("WindowPosTop"));
  return "0";
}

std::string Settings::valueText(std::size_t index) const {
  if (index >= kSettingCount) return {};
  if (bindings_[index]) return capSettingText(bindings_[index].get());
  return stored_[index];
}

std::string Settings::load(const std::string& path) {
  unread_ = {};
  WholeFile file = readUserFile(path, kMaxSettingsFileBytes, "settings file");
  std::string problem;
  if (file.status == WholeFileStatus::Read) {
    loadText(file.text);
    return problem;
  }
  std::string().swap(file.text);
  loadText({});
  struct stat info {};
  const bool exists = ::lstat(path.c_str(), &info) == 0;
  if (!exists && (errno == ENOENT || errno == ENOTDIR)) return problem;  // a first start
  unread_.path = absolutePath(path);
  if (::stat(path.c_str(), &info) == 0) {
    unread_.statKnown = true;
    unread_.device = info.st_dev;
    unread_.inode = info.st_ino;
  }
  problem = file.refusal.empty() ? "Can't read the settings file '" + path + "'." : file.refusal;
  return problem + " The default settings are used, and the file is not written over.";
}

bool Settings::keepsUnread(const std::string& path) const {
  if (unread_.path.empty()) return false;
  struct stat info {};
  if (unread_.statKnown && ::stat(path.c_str(), &info) == 0)
    return info.st_dev == unread_.device && info.st_ino == unread_.inode;
  return absolutePath(path) == unread_.path;
}

void Settings::loadText(std::string_view text) {
  // Editors on some systems start a UTF-8 file with a byte-order mark; it is no part of
  // the first section's line.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  CSimpleIniA ini;
  ini.SetMultiKey(false);
  ini.SetUnicode(false);
  const std::string keyLines = keyLinesOnly(text);
  if (!keyLines.empty()) ini.LoadData(keyLines.data(), keyLines.size());

  bool restoreWindow = true;
  const std::size_t restWinPos = settingIndex("RestWinPos");
  const std::size_t lastRandomRow = settingIndex("RandomDevice");
  for (std::size_t i = 0; i < kSettingCount; ++i) {
    const SettingRow& row = kSettingRows[i];
    const char* raw = ini.GetValue(row.section, row.key, nullptr);
    const std::optional<std::string> read = raw ? std::optional<std::string>(raw) : std::nullopt;
    SettingBinding& binding = bindings_[i];
    const std::string fallback =
        row.defaultText ? row.defaultText : (binding ? binding.get() : unboundDefault(i));
    const std::string value = normaliseSetting(row.type, read, fallback);

    const bool isWindowPos =
        row.key == std::string_view("WindowPosLeft") || row.key == std::string_view("WindowPosTop");
    // A float's owner gets every digit read, not the fifteen that are written back.
    const bool fullFloat = row.type == SettingType::Float && read && parseSettingFloat(*read);
    if (binding && !(isWindowPos && !restoreWindow)) binding.set(fullFloat ? *read : value);
    stored_[i] = value;
    if (i == restWinPos) restoreWindow = value != "0";

    if (row.key == std::string_view(kUrlKey)) {
      std::vector<std::string>& list = urlList_ ? *urlList_ : ownUrlList_;
      list.clear();
      for (int n = 1;; ++n) {
        const char* url = ini.GetValue(kUrlSection, (kUrlKey + std::to_string(n)).c_str(), nullptr);
        if (url == nullptr) break;
        list.push_back(capSettingText(url));
      }
    }
    if (i == lastRandomRow && afterRandomSource) afterRandomSource();
  }

  // Keys this version does not know are kept and written back as they were.
  foreign_.clear();
  const std::size_t urlCount = urlList().size();
  CSimpleIniA::TNamesDepend sections;
  ini.GetAllSections(sections);
  sections.sort(CSimpleIniA::Entry::LoadOrder());
  for (const auto& section : sections) {
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(section.pItem, keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& key : keys) {
      // Keys before the first section line are dropped: the file has no place for them
      // once sections are written.
      if (*section.pItem == '\0' || *key.pItem == '\0') continue;
      if (!writableName(section.pItem, "]") || !writableName(key.pItem, "=")) continue;
      // Numbered keys behind a gap in the list, or written another way ("...Http02"),
      // are not in the list but are kept as they are.
      const std::size_t number = urlListNumber(section.pItem, key.pItem);
      if (findSettingRow(section.pItem, key.pItem) || (number > 0 && number <= urlCount)) continue;
      foreign_.push_back({section.pItem, capSettingText(key.pItem),
                          capSettingText(ini.GetValue(section.pItem, key.pItem, ""))});
    }
  }
}

std::vector<SettingsSection> Settings::sections() const {
  struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
      return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
  };
  std::vector<SettingsSection> out;
  std::map<std::string, std::size_t, CaseLess> index;
  auto sectionNamed = [&](const std::string& name) -> SettingsSection& {
    const auto [it, added] = index.emplace(name, out.size());
    if (added) out.push_back({name, {}});
    return out[it->second];
  };
  for (std::size_t i = 0; i < kSettingCount; ++i) {
    const SettingRow& row = kSettingRows[i];
    SettingsSection& section = sectionNamed(row.section);
    section.keys.emplace_back(row.key, valueText(i));
    // The list replaces every numbered key, so a shortened list leaves none behind.
    if (row.key == std::string_view(kUrlKey)) {
      const std::vector<std::string>& list = urlList();
      for (std::size_t n = 0; n < list.size(); ++n)
        section.keys.emplace_back(kUrlKey + std::to_string(n + 1), capSettingText(list[n]));
    }
  }
  // Unknown keys never collide with the table's or with each other (the reader merged
  // duplicates), so they are appended without a search. A numbered key kept from behind
  // a gap is written only while a gap is still before it: a longer list replaces it, and
  // it must not join the list by closing the gap.
  const std::size_t urlCount = urlList().size();
  for (const ForeignKey& f : foreign_) {
    const std::size_t number = urlListNumber(f.section.c_str(), f.key.c_str());
    if (number == 0 || number > urlCount + 1)
      sectionNamed(f.section).keys.emplace_back(f.key, f.value);
  }
  return out;
}

std::string Settings::fileText() const {
  CSimpleIniA ini;
  ini.SetSpaces(false);
  ini.SetUnicode(false);
  for (const SettingsSection& section : sections())
    for (const auto& [key, value] : section.keys)
      ini.SetValue(section.name.c_str(), key.c_str(), value.c_str());
  std::string out;
  ini.Save(out, false);
  return out;
}

bool Settings::save(const std::string& path) const {
  if (keepsUnread(path)) return false;
  makeFolders(path);
  return writeFileAtomically(path, fileText());
}

}  // namespace voxloom
