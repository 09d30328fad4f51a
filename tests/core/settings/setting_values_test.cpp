#include "core/settings/setting_values.h"

#include <gtest/gtest.h>

#include <clocale>

#include "core/settings/device_lists.h"

namespace voxloom {
namespace {

TEST(SettingValues, NumbersAndTheirDefaults) {
  struct Case {
    SettingType type;
    std::optional<std::string> read;
    const char* expected;  // with default "7" (float default "2.5")
  };
  const Case cases[] = {
      {SettingType::Int, "0x64", "100"},
      {SettingType::Int, "0X64", "100"},
      {SettingType::Int, "0x", "7"},  // too short for hexadecimal, not decimal either
      {SettingType::Int, "0xFFFFFFFF", "-1"},
      {SettingType::Int, "0x100000000", "7"},
      {SettingType::Int, " -42 ", "-42"},
      {SettingType::Int, "+5", "5"},
      {SettingType::Int, "12abc", "7"},
      {SettingType::Int, "", "7"},
      {SettingType::Int, "99999999999", "7"},
      {SettingType::Int, std::nullopt, "7"},
      {SettingType::Bool, "5", "1"},
      {SettingType::Bool, "0", "0"},
      {SettingType::Bool, "0x0", "0"},
      {SettingType::Bool, "yes", "7"},
      {SettingType::Float, "3.80", "3.8"},
      {SettingType::Float, "1e-7", "1e-07"},
      {SettingType::Float, "0.1234567890123456789", "0.123456789012346"},
      {SettingType::Float, "3,8", "2.5"},  // a comma is not a decimal separator here
      {SettingType::Float, "nan", "2.5"},
      {SettingType::Float, "inf", "2.5"},
      {SettingType::Float, "1e5000", "2.5"},
      // Beyond a double, within the extended range; the fifteenth digit rounded up.
      {SettingType::Float, "1e4000", "1e+4000"},
      {SettingType::Float, "3.8123456789012350001", "3.81234567890124"},
      {SettingType::Text, "  trimmed as the reader would ", "trimmed as the reader would"},
      {SettingType::Text, std::nullopt, "7"},
  };
  for (const Case& c : cases) {
    const char* def = c.type == SettingType::Float ? "2.5" : "7";
    EXPECT_EQ(normaliseSetting(c.type, c.read, def), c.expected) << c.read.value_or("<missing>");
  }
}

TEST(SettingValues, FloatsUseAPointWhateverTheLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  EXPECT_EQ(formatSettingFloat(3.8L), "3.8");
  EXPECT_EQ(parseSettingFloat("0.5").value_or(0), 0.5L);
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!german) GTEST_SKIP() << "no German locale installed; checked in the C locale only";
}

TEST(SettingValues, LongTextsAreCutAtACharacterBoundary) {
  EXPECT_EQ(capSettingText(std::string(5000, 'a')).size(), kSettingTextMax);
  // "é" is two bytes; 2046 'a' + "é" + ... would split the character at byte 2047.
  const std::string text = std::string(2046, 'a') + "\xC3\xA9" + "tail";
  const std::string cut = capSettingText(text);
  EXPECT_EQ(cut.size(), 2046u);
  EXPECT_EQ(capSettingText("two\r\nlines"), "two  lines");
}

TEST(DeviceMatching, FindsTheStoredDeviceByName) {
  const WaveDeviceNames names = {"Built-in", "USB Headset", "HDMI", "USB Headset"};
  struct Case {
    int index;
    std::string name;
    int expected;
  } const cases[] = {
      {1, "USB Headset", 1},  // unchanged
      {3, "USB Headset", 3},  // the stored index wins among equal names
      {0, "HDMI", 2},         // reordered
      {2, "Unplugged", -1},   // gone: the default device, not whatever sits at 2 now
      {2, "", 2},             // older files store only the index
      {9, "", -1},            // an index the list does not have
      {-1, "", -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(findDevice(names, c.index, c.name), c.expected) << c.index << " " << c.name;
  EXPECT_EQ(findDevice({}, 0, ""), -1);
}

TEST(DeviceMatching, AMissingDeviceKeepsItsStoredChoice) {
  DeviceLists lists;
  lists.fillDeviceLists({"A", "B"}, {"Mic"});
  lists.playback = {5, "Gone", 0};
  lists.resolve(lists.playback);
  EXPECT_EQ(lists.playback.selected, -1);
  EXPECT_EQ(lists.playback.storedName, "Gone");  // written back for the next run
  lists.record = {0, "", 0};
  lists.resolve(lists.record);
  EXPECT_EQ(lists.record.selected, 0);
  EXPECT_EQ(lists.record.storedName, "Mic");  // the name is stored from now on
  lists.choose(lists.playback, 1);
  EXPECT_EQ(lists.playback.storedIndex, 1);
  EXPECT_EQ(lists.playback.storedName, "B");
}

}  // namespace
}  // namespace voxloom
