#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "core/app/main_presenter.h"
#include "core/settings/settings_location.h"
#include "tests/support/fake_shell.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() : core(prompter, shell, noQuestions) {
    dir = test::tempDir() + "/settings_" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string cmd = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    path = dir + "/voxloom.ini";
    services.settings.path = path;
  }
  void load(const std::string& text) {
    writeFile(path, text);
    services.loadSettings();
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  NoQuestionPrompt noQuestions;
  WindowCore core;
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
  std::string dir, path;
};

TEST_F(SettingsFileTest, AFreshStartGetsTheDefaults) {
  services.loadSettings();  // no file
  const PlaybackParts& p = services.playback.parts;
  EXPECT_EQ(p.options.duration.value, 80);
  EXPECT_EQ(p.options.duration2.value, 120);
  EXPECT_TRUE(p.options.zeroCrossAdjust.checked);
  EXPECT_FALSE(p.options.crossFade.checked);
  EXPECT_EQ(p.playTime.time.value, 15);
  EXPECT_TRUE(services.settings.saveOnExit);
  EXPECT_TRUE(services.settings.restoreWindowPosition);
  EXPECT_TRUE(services.document.folders.useSeparate);
  EXPECT_TRUE(services.document.folders.autoOpenLastWavFile);
  EXPECT_EQ(services.settings.settings.valueText("CueLabelFontName"), "Courier New");
  EXPECT_EQ(services.settings.settings.valueText("WindowPosLeft"), "200");
  EXPECT_EQ(services.playback.parts.random.serviceUrl, kDefaultServiceUrl);
  // Keys owned by a fresh control keep the control's state.
  EXPECT_EQ(services.settings.settings.valueText("RecSampleRate"), "22050");
  EXPECT_EQ(services.settings.settings.valueText("RecNormalize"), "1");
}

TEST_F(SettingsFileTest, ValuesAreClampedAsTheirControlsWouldAndSavedClamped) {
  load(
      "[segments]\nsegmentduration=999999\nSegmentDuration2=-5\nFadingMode=40\n"
      "[EFFECTS]\nEchoDelay=5000\nEchoDecay=-1\n[AUTOCUT]\nThresholdPercent=0x7fffffff\n"
      "[RECORDING]\nRecBufferTimeMilliseconds=50\nRecNormalize=0\nBoostSliderPos=500\n"
      "[INPUTSOURCE]\nLiveAudioSourceTimeSeconds=0\n");
  const Settings& s = services.settings.settings;
  const std::pair<const char*, const char*> expected[] = {
      {"SegmentDuration", "10000"},
      {"SegmentDuration2", "1"},
      {"FadingMode", "11"},
      {"EchoDelay", "1000"},
      {"EchoDecay", "0"},
      {"ThresholdPercent", "100"},
      {"RecBufferTimeMilliseconds", "100"},
      {"RecNormalize", "0"},
      {"BoostSliderPos", "90"},
      {"LiveAudioSourceTimeSeconds", "1"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(s.valueText(key), value) << key;
  EXPECT_FALSE(services.recording.engine.params.normalize);
  ASSERT_TRUE(services.settings.save(true));
  EXPECT_NE(readFile(path).find("SegmentDuration=10000\n"), std::string::npos);
}

// A Windows editor's byte-order mark, digits beyond a double, a number of no source.
TEST_F(SettingsFileTest, MarkedFilesExtendedFloatsAndUnknownSourcesAreRead) {
  load(
      "\xEF\xBB\xBF[SEGMENTS]\r\nSegmentDuration=90\r\n[RANDOMSOURCE]\r\nRandomSource=9\r\n"
      "FractalGrowthConstant=3.8123456789012350001\r\nFractalInitPopulation=1e4000\r\n");
  EXPECT_EQ(services.playback.parts.options.duration.value, 90);
  EXPECT_EQ(services.playback.parts.random.growthRate, 3.8123456789012350001L);
  EXPECT_EQ(services.playback.parts.random.population, 1e4000L);
  EXPECT_EQ(services.playback.parts.random.randomKind, RandomSourceKind::PseudoRng);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(SettingsFileTest, UrlListIsReadToTheFirstGapAndSavedWithoutStaleKeys) {
  load(
      "[RANDOMSOURCE]\nRandomSourceHttp=\nRandomSourceHttp1=a\nRandomSourceHttp2=\n"
      "RandomSourceHttp4=d\n");
  EXPECT_EQ(services.settings.settings.urlList(), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(services.playback.parts.random.serviceUrl, kDefaultServiceUrl);

  load(
      "[RANDOMSOURCE]\nRandomSourceHttp1=1\nRandomSourceHttp2=2\nRandomSourceHttp3=3\n"
      "RandomSourceHttp4=4\nRandomSourceHttp5=5\n");
  std::vector<std::string> owner;
  services.settings.settings.bindUrlList(owner);
  services.loadSettings();
  ASSERT_EQ(owner.size(), 5u);
  owner.resize(2);
  ASSERT_TRUE(services.settings.save(true));
  const std::string text = readFile(path);
  EXPECT_NE(text.find("RandomSourceHttp2=2\n"), std::string::npos);
  EXPECT_EQ(text.find("RandomSourceHttp3"), std::string::npos);
  EXPECT_EQ(text.find("RandomSourceHttp5"), std::string::npos);
}

TEST_F(SettingsFileTest, StoredSourceIsSelectedAndAnUnbuiltOneIsKept) {
  load(
      "[RANDOMSOURCE]\nRandomSource=0\nRandomSourceFile=/tmp/x.pcm\nRandomSourceHttp=http://h/q\n");
  EXPECT_EQ(services.playback.parts.random.randomKind, RandomSourceKind::PseudoRng);
  EXPECT_EQ(services.playback.parts.random.menu.httpCaption, "I&nternet [h] ...");
  EXPECT_EQ(services.playback.parts.random.menu.fileCaption, "F&ile [x.pcm] ...");

  load("[RANDOMSOURCE]\nRandomSource=3\n");  // fractal
  // Written back as stored, whether or not this build could select it.
  EXPECT_EQ(services.settings.settings.valueText("RandomSource"), "3");
  load("[RANDOMSOURCE]\nRandomSource=77\n");
  EXPECT_EQ(services.settings.settings.valueText("RandomSource"), "0");  // no such source: pseudo
  // A stored device that can't be opened now is kept with its kind, for when it is back.
  load("[RANDOMSOURCE]\nRandomSource=7\nRandomDevice=/dev/voxloom_missing\n");
  EXPECT_EQ(services.settings.settings.valueText("RandomSource"), "7");
  EXPECT_EQ(services.settings.settings.valueText("RandomDevice"), "/dev/voxloom_missing");
}

TEST_F(SettingsFileTest, RestWinPosDecidesWhetherThePositionIsApplied) {
  int left = -1;
  services.settings.settings.bindInt(
      "WindowPosLeft", [&] { return left; }, [&](int v) { left = v; });
  load("[PROGRAM]\nRestWinPos=0\nWindowPosLeft=0x64\n");
  EXPECT_EQ(left, -1);
  load("[PROGRAM]\nRestWinPos=1\nWindowPosLeft=0x64\n");
  EXPECT_EQ(left, 100);
  left = 333;  // the window moved; the position is written whatever RestWinPos is
  services.settings.restoreWindowPosition = false;
  EXPECT_EQ(services.settings.settings.valueText("WindowPosLeft"), "333");
}

// Every key gets a value other than its default; a save and a fresh load must give back
// exactly the same text for every key.
TEST_F(SettingsFileTest, AFullFileRoundTripsEveryKey) {
  std::string text;
  std::string section;
  std::map<std::string, std::string> written;
  for (const SettingRow& row : kSettingRows) {
    if (section != row.section) text += std::string("[") + (section = row.section) + "]\n";
    std::string value;
    switch (row.type) {
      case SettingType::Int:
        value = row.defaultText && std::string(row.defaultText) == "1" ? "0" : "1";
        break;
      case SettingType::Bool:
        value = row.defaultText && std::string(row.defaultText) == "1" ? "0" : "1";
        break;
      case SettingType::Float:
        value = "3.14159265358979";
        break;
      case SettingType::Text:
        value = std::string(row.key) + " text";
        break;
    }
    written[row.key] = value;
    text += std::string(row.key) + "=" + value + "\n";
    if (std::string_view(row.key) == "RandomSourceHttp")
      text += "RandomSourceHttp1=u1\nRandomSourceHttp2=u2\n";
  }
  text += "[OTHERVERSION]\nSomething=kept\n";
  load(text);
  ASSERT_TRUE(services.settings.save(true));

  test::ScriptedPrompter p2;
  test::FakeShell s2;
  WindowCore secondCore(p2, s2, noQuestions);
  secondCore.services.settings.path = path;
  secondCore.services.loadSettings();
  for (std::size_t i = 0; i < kSettingCount; ++i)
    EXPECT_EQ(secondCore.services.settings.settings.valueText(i),
              services.settings.settings.valueText(i))
        << kSettingRows[i].key;
  // Bound owners kept what was written (devices resolve against empty lists, so only
  // their stored values are compared above).
  EXPECT_EQ(secondCore.services.playback.parts.random.growthRate, 3.14159265358979L);
  EXPECT_EQ(secondCore.services.sessions.sessions.editorPath, "EditorPath text");
  EXPECT_EQ(secondCore.services.settings.settings.urlList(),
            (std::vector<std::string>{"u1", "u2"}));
  EXPECT_NE(readFile(path).find("[OTHERVERSION]\nSomething=kept\n"), std::string::npos);
  EXPECT_EQ(secondCore.services.settings.settings.fileText(),
            services.settings.settings.fileText());
}

TEST_F(SettingsFileTest, HostileFilesGiveDefaultsQuickly) {
  load(std::string("\x00\xff\xfe[\x01garbage=\xff\n=\n[\n", 20));
  EXPECT_EQ(services.playback.parts.options.duration.value, 80);

  // Duplicated sections merge; keys match without regard to case.
  load("[Segments]\nSegmentDuration=90\n[SEGMENTS]\nSEGMENTDURATION2=130\n");
  EXPECT_EQ(services.playback.parts.options.duration.value, 90);
  EXPECT_EQ(services.playback.parts.options.duration2.value, 130);

  load("[EVPSESSION]\nEditorPath=" + std::string(5000, 'e') + "\n");
  EXPECT_EQ(services.sessions.sessions.editorPath.size(), 2047u);

  std::string junk;
  junk.reserve(kMaxSettingsFileBytes);
  for (int i = 0; junk.size() < kMaxSettingsFileBytes - 64; ++i)
    junk += (i % 3 == 0 ? "junk line without equals " : "[sec") + std::to_string(i) + "]\n";
  writeFile(path, junk);
  const auto start = std::chrono::steady_clock::now();
  services.loadSettings();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 2.0);  // typically far less; tolerant of a loaded machine
  std::cout << "1 MB of junk read in " << seconds * 1000 << " ms\n";
  EXPECT_TRUE(prompter.shown.empty());  // read, not refused as too large
}

TEST_F(SettingsFileTest, AFailedSaveReportsAndKeepsThePreviousFile) {
  writeFile(path, "[PROGRAM]\nSaveOnExit=1\n");
  ::chmod(dir.c_str(), 0555);
  const bool saved = services.settings.save(true);
  ::chmod(dir.c_str(), 0755);
  if (::geteuid() != 0) {  // root writes anywhere
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompter.log().back(), "Error: Can't write the settings file '" + path + "'.");
    EXPECT_EQ(readFile(path), "[PROGRAM]\nSaveOnExit=1\n");
  }

  services.settings.path = dir + "/adirectory";
  ::mkdir(services.settings.path.c_str(), 0755);
  services.loadSettings();  // a directory gives the defaults, said once
  EXPECT_FALSE(services.settings.save(false));
  services.settings.saveOnExit = true;
  EXPECT_TRUE(controller.closeQuery());  // at exit the failure goes unreported
  EXPECT_EQ(prompter.shown.size(), ::geteuid() != 0 ? 2u : 1u);
}

TEST_F(SettingsFileTest, SaveOnExitFollowsTheCheckBox) {
  services.loadSettings();
  services.settings.saveOnExit = false;
  ASSERT_TRUE(controller.closeQuery());
  EXPECT_FALSE(std::ifstream(path).good());
  controller.saveSettingsNow();  // "Save now" stores the unchecked state
  EXPECT_NE(readFile(path).find("SaveOnExit=0\n"), std::string::npos);
}

// A file that exists but could not be read (here: too large; unreadable ones in the CLI
// tests) keeps the user's keys: loading says so once, the exit writes nothing, and
// "Save now" says why it does not write.
TEST_F(SettingsFileTest, AFileThatCouldNotBeReadIsNeverWrittenOver) {
  const std::string text = "[SEGMENTS]\nSegmentDuration=90\n" + std::string(1 << 20, ';');
  load(text);
  EXPECT_EQ(services.playback.parts.options.duration.value, 80);
  EXPECT_EQ(prompter.log(), std::vector<std::string>{"Error: The settings file '" + path +
                                                     "' is too large. The default settings "
                                                     "are used, and the file is not written "
                                                     "over."});
  EXPECT_TRUE(controller.closeQuery());
  controller.saveSettingsNow();
  EXPECT_EQ(prompter.log().back(), "Error: " + settingsKeptUnreadText(path));
  EXPECT_EQ(readFile(path), text);
}

// Numbered service keys the list does not take are written back as they were, but never
// join the list once it grows over their gap.
TEST_F(SettingsFileTest, NumberedUrlKeysOutsideTheListAreKept) {
  for (const std::string kept : {"RandomSourceHttp3=c\n", "RandomSourceHttp02=b\n"}) {
    load("[RANDOMSOURCE]\nRandomSourceHttp1=a\n" + kept);
    EXPECT_EQ(services.settings.settings.urlList(), std::vector<std::string>{"a"});
    ASSERT_TRUE(services.settings.save(true));
    EXPECT_NE(readFile(path).find(kept), std::string::npos);
  }
  load("[RANDOMSOURCE]\nRandomSourceHttp1=a\nRandomSourceHttp3=c\n");
  std::vector<std::string> owner;
  services.settings.settings.bindUrlList(owner);
  services.loadSettings();
  owner.push_back("b");
  ASSERT_TRUE(services.settings.save(true));
  EXPECT_EQ(readFile(path).find("RandomSourceHttp3"), std::string::npos);
}

TEST(SettingsLocation, ProgramFolderOnlyWithAPortableFileElseTheUsersConfigFolder) {
  const std::string dir = test::tempDir() + "/settings_location";
  const std::string portable = dir + "/portable";  // a copy on a stick, its file beside it
  ASSERT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + portable + "'").c_str()), 0);
  writeFile(portable + "/voxloom.ini", "");
  using Env = std::map<std::string, std::string>;
  struct Case {
    std::string folder;
    Env env;
    std::string expected;
  };
  const Env xdg{{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}};
  // A writable program folder alone (root in /usr/bin, ~/.local/bin) is no portable copy.
  for (const Case& c :
       {Case{dir, xdg, "/x/voxloom/voxloom.ini"}, Case{portable, xdg, portable + "/voxloom.ini"},
        Case{dir + "/missing", xdg, "/x/voxloom/voxloom.ini"},
        Case{dir, {{"XDG_CONFIG_HOME", "rel"}, {"HOME", "/h"}}, "/h/.config/voxloom/voxloom.ini"},
        Case{dir, {{"HOME", "/h"}}, "/h/.config/voxloom/voxloom.ini"}}) {
    auto getEnv = [&c](const char* name) -> std::optional<std::string> {
      auto it = c.env.find(name);
      return it == c.env.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    EXPECT_EQ(settingsFilePath(c.folder, getEnv), c.expected) << c.folder;
  }
}

// Installed, the help pages are in share/voxloom/help beside bin/ (share/doc may be left
// out); in a build tree in docs/.
TEST(HelpPages, FoundWhereTheyAreInstalled) {
  const std::string prefix = test::tempDir() + "/help_prefix";
  ASSERT_EQ(std::system(("rm -rf '" + prefix + "' && mkdir -p '" + prefix + "/bin' '" + prefix +
                         "/share/voxloom/help' '" + prefix + "/share/doc/voxloom'")
                            .c_str()),
            0);
  writeFile(prefix + "/share/doc/voxloom/manual.html", "<html></html>");
  writeFile(prefix + "/share/doc/voxloom/quickstart.html", "<html></html>");
  writeFile(prefix + "/share/voxloom/help/manual.html", "<html></html>");
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  NoQuestionPrompt noQuestions;
  WindowCore core(prompter, shell, noQuestions);
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
  services.programFolder = prefix + "/bin";
  EXPECT_EQ(controller.manualPath(), prefix + "/bin/../share/voxloom/help/manual.html");
  // Only share/doc has it: not relied on.
  EXPECT_EQ(controller.quickstartPath(), prefix + "/bin/docs/quickstart.html");
  ::mkdir((prefix + "/bin/docs").c_str(), 0755);
  writeFile(prefix + "/bin/docs/manual.html", "<html></html>");
  EXPECT_EQ(controller.manualPath(), prefix + "/bin/docs/manual.html");
}

}  // namespace
}  // namespace voxloom
