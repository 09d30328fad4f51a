#include "core/settings/settings_table.h"

#include <strings.h>

#include <string>

namespace voxloom {

std::optional<std::size_t> findSettingRow(std::string_view section, std::string_view key) {
  const std::string s(section), k(key);
  for (std::size_t i = 0; i < kSettingRows.size(); ++i)
    if (strcasecmp(kSettingRows[i].key, k.c_str()) == 0 &&
        strcasecmp(kSettingRows[i].section, s.c_str()) == 0)
      return i;
  return std::nullopt;
}

}  // namespace voxloom
