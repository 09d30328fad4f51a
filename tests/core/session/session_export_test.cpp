#include "core/session/session_export.h"

#include <cstdlib>
#include <filesystem>

#include "core/audio/byte_stream.h"
#include "core/audio/wav_reader.h"
#include "core/engine/cross_fade_renderer.h"
#include "tests/core/session/session_fixture.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

using test::SessionFixture;

// Reads a written file back with the program's own reader.
void readBack(const std::string& path, AudioDocument& doc) {
  auto stream = ByteStream::openFile(path);
  ASSERT_TRUE(stream);
  ASSERT_EQ(loadWav(*stream, doc, path).status, WavLoadStatus::Loaded);
}

std::vector<int> ramp(int n) {
  std::vector<int> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = i * 7 - 3000;
  return v;
}

TEST(SessionExport, FileNamesComeFromTheSessionOrTheFirstStamp) {
  Session s;
  s.fileName = "C:\\EVP\\night.evp";
  s.records.resize(12);
  s.currentIndex = 6;
  EXPECT_EQ(exportFileName(s), "night-007.wav");
  s.fileName = "/home/u/night";
  EXPECT_EQ(exportFileName(s), "night-007.wav");
  s.fileName = "/home/u.d/take.1.evp";
  s.currentIndex = 11;
  EXPECT_EQ(exportFileName(s), "take.1-012.wav");
  s.fileName.clear();
  s.records[0].dateTime = "2026 03 14 21 05 09";
  s.currentIndex = 0;
  EXPECT_EQ(exportFileName(s), "20260314_210509-001.wav");
  s.currentIndex = 1233;
  s.records.resize(1234);
  EXPECT_EQ(exportFileName(s), "20260314_210509-1234.wav");
}

TEST(SessionExport, EntriesBecomeCuesAtRunningPositions) {
  AudioDocument doc;
  test::makeSignal(doc, 1, 16, 8000, ramp(1000));
  EvpRecord r;
  r.segments = {
      {502, 100, 1, 20, false, "hello"}, {10, 250, 2, 7, false, ""}, {900, 80, 3, -1, false, "x"}};
  const std::string path = test::tempDir() + "/evp.wav";
  ASSERT_EQ(writeEvpWav(path, doc, r, "C:\\EVP\\whitenoise.wav", 0), WavWriteStatus::Written);
  AudioDocument back;
  readBack(path, back);
  EXPECT_EQ(back.dataBytes, 430 * 2);
  ASSERT_EQ(back.cues.size(), 3u);
  const Frames positions[] = {0, 100, 350};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back.cues[i].id, i + 1);
    EXPECT_EQ(back.cues[i].position, positions[i]);
    EXPECT_EQ(back.cues[i].length, r.segments[i].length);
    EXPECT_EQ(back.cues[i].purpose, "rgn");
  }
  EXPECT_EQ(back.cues[0].label, "Segment 1 (\"hello\")");
  EXPECT_EQ(back.cues[1].label, "Segment 2");
  EXPECT_EQ(back.cues[0].note,
            "File: whitenoise.wav, Time: 0:00:00.013 (0:00:00.063 - 0:00:00.075), Segment/Cue: 20");
  // Copied entries hold the document's samples.
  for (Frames f = 0; f < 100; ++f)
    EXPECT_EQ(back.sampleAt(back.channelBase(0), f), doc.sampleAt(doc.channelBase(0), 502 + f));
  for (Frames f = 0; f < 250; ++f)
    EXPECT_EQ(back.sampleAt(back.channelBase(0), 100 + f),
              doc.sampleAt(doc.channelBase(0), 10 + f));
}

// Entries are cut to the signal as a replay cuts them: a plain entry keeps its frames
// inside the signal, a cross-faded one keeps its start (silence outside the signal) but
// is no longer than the signal. Damaged entries near the largest frame number must
// neither crash nor ask for gigabytes.
TEST(SessionExport, EntriesAreCutToTheSignalAsReplayCutsThem) {
  AudioDocument doc;
  test::makeSignal(doc, 2, 8, 8000, std::vector<int>(200, 50));  // 100 stereo frames
  EvpRecord r;
  r.segments = {{90, 20, 1, 0, false, ""},
                {2000000000, 2000, 2, 0, false, ""},
                {-5, 10, 3, 0, true, ""},
                {0, -4, 4, 0, false, ""},
                {0, 2147483647, 5, 0, true, ""},
                {2147483647, 2147483647, 6, 0, true, ""},
                {-2147483647 - 1, 2147483647, 7, 0, false, ""}};
  const std::string path = test::tempDir() + "/out.wav";
  ASSERT_EQ(writeEvpWav(path, doc, r, "w.wav", 0), WavWriteStatus::Written);
  AudioDocument back;
  readBack(path, back);
  ASSERT_EQ(back.frameCount, 10 + 0 + 10 + 0 + 100 + 100 + 0);
  auto at = [&](Frames f, int ch) { return back.sampleAt(back.channelBase(ch), f); };
  EXPECT_EQ(at(9, 1), 50);
  EXPECT_EQ(at(10, 0), 0);   // the faded entry's frames before the signal: silence
  EXPECT_EQ(at(19, 0), 50);  // ... and its frames inside it, faded in
  EXPECT_EQ(at(120, 1), 0);  // the entry past the largest frame number: silence
  ASSERT_EQ(back.cues.size(), 7u);
  const std::uint32_t positions[] = {0, 10, 10, 20, 20, 120, 220};
  const std::uint32_t lengths[] = {10, 0, 10, 0, 100, 100, 0};
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(back.cues[i].position, positions[i]) << i;
    EXPECT_EQ(back.cues[i].length, lengths[i]) << i;
  }
}

TEST(SessionExport, FadedEntriesAreRenderedFromAFreshStart) {
  AudioDocument doc;
  test::makeSignal(doc, 1, 16, 8000, ramp(1000));
  EvpRecord r;
  r.segments = {{100, 50, 1, 0, true, ""}, {600, 40, 2, 0, true, ""}};
  const std::string path = test::tempDir() + "/fade.wav";
  ASSERT_EQ(writeEvpWav(path, doc, r, "w.wav", 1), WavWriteStatus::Written);

  RendererState expected;
  expected.fadeMode = 1;
  std::vector<std::uint8_t> bytes;
  for (const EvpSegmentEntry& e : r.segments) {
    Frames start = e.start;
    const std::uint8_t* block = renderCrossFade(expected, doc, 0, start, e.length);
    bytes.insert(bytes.end(), block, block + e.length * 2);
  }
  const std::vector<std::uint8_t> file = test::readWholeFile(path);
  ASSERT_GE(file.size(), 44 + bytes.size());
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin() + 44));
}

TEST(SessionExport, NothingLoadedOrEmptyRecord) {
  AudioDocument doc;
  EvpRecord r;
  EXPECT_EQ(writeEvpWav(test::tempDir() + "/n.wav", doc, r, "", 0), WavWriteStatus::WriteFailed);
  test::makeConstantSignal(doc, 10, 1);
  const std::string path = test::tempDir() + "/empty.wav";
  ASSERT_EQ(writeEvpWav(path, doc, r, "", 0), WavWriteStatus::Written);
  EXPECT_EQ(test::readWholeFile(path).size(), 44u + 12 + 12);
}

class SessionEditorTest : public SessionFixture {};

TEST_F(SessionEditorTest, ExportAsksForTheNameAndRemembersTheFolder) {
  loadWav("w.wav");
  sessions().exportEvpAsWav();  // no record: nothing
  EXPECT_TRUE(prompter.saveDialogs.empty());
  capture(3);
  services.document.folders.useSeparate = true;
  sessions().outputWavFolder = "/out";
  const std::string target = test::tempDir() + "/sub-export.wav";
  prompter.saveFiles.push_back(target);
  sessions().exportEvpAsWav();
  ASSERT_EQ(prompter.saveDialogs.size(), 1u);
  EXPECT_EQ(prompter.saveDialogs[0].title, "Export current sequence as WAV file...");
  EXPECT_EQ(prompter.saveDialogs[0].fileName, "20260314_210509-001.wav");
  EXPECT_EQ(prompter.saveDialogs[0].initialFolder, "/out");
  EXPECT_EQ(sessions().outputWavFolder, test::tempDir());
  AudioDocument back;
  readBack(target, back);
  EXPECT_EQ(back.cues.size(), 3u);
  // The main window's writer with source 0 writes the same EVP.
  EXPECT_EQ(services.writeWavFile(test::tempDir() + "/same.wav", 0), 0);
  EXPECT_EQ(test::readWholeFile(test::tempDir() + "/same.wav"), test::readWholeFile(target));
  EXPECT_EQ(services.writeWavFile(test::tempDir() + "/none/x.wav", 0), 1);
  EXPECT_EQ(prompter.log().back(),
            "Error: Can't open WAV file '" + test::tempDir() + "/none/x.wav' for writing.");
}

TEST_F(SessionEditorTest, ScratchFileGoesToUserFolderAndToTheEditor) {
  loadWav("w.wav");
  capture(2);
  services.programFolder = test::tempDir() + "/program";
  std::filesystem::create_directories(services.programFolder + "/user");
  sessions().openEvpInEditor();
  const std::string scratch = services.programFolder + "/user/voxloom.wav";
  EXPECT_EQ(shell.opened, std::vector<std::string>{scratch});
  EXPECT_TRUE(std::filesystem::exists(scratch));

  sessions().editorPath = "/usr/bin/audacity";
  sessions().openEvpInEditor();
  ASSERT_EQ(shell.started.size(), 1u);
  EXPECT_EQ(shell.started[0], std::make_pair(std::string("/usr/bin/audacity"), scratch));
  sessions().useDefaultEditor();
  EXPECT_EQ(sessions().editorPath, "");

  // Without a user folder, a folder of this user's alone: a fixed name in the shared
  // temporary folder could be taken first by another user.
  std::filesystem::remove_all(services.programFolder + "/user");
  const char* oldRuntime = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedRuntime = oldRuntime != nullptr ? oldRuntime : "";
  const std::string runtime = test::tempDir() + "/runtime";
  std::filesystem::create_directories(runtime);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  EXPECT_EQ(sessions().scratchFolder(), runtime + "/voxloom/");
  const auto mode = [](const std::string& p) {
    return std::filesystem::status(p).permissions() & std::filesystem::perms::all;
  };
  EXPECT_EQ(mode(runtime + "/voxloom"), std::filesystem::perms::owner_all);
  // A runtime folder others may write is not used; neither is a relative one.
  std::filesystem::permissions(runtime + "/voxloom", std::filesystem::perms::all);
  for (const char* value : {runtime.c_str(), "relative", ""}) {
    ::setenv("XDG_RUNTIME_DIR", value, 1);
    const std::string folder = sessions().scratchFolder();
    EXPECT_EQ(folder.rfind((std::filesystem::temp_directory_path() / "voxloom-").string(), 0), 0u)
        << folder;
    EXPECT_EQ(mode(folder), std::filesystem::perms::owner_all);
    EXPECT_EQ(sessions().scratchFolder(), folder);  // made once
  }
  sessions().openEvpInEditor();
  EXPECT_EQ(shell.opened.back(), sessions().scratchFolder() + "voxloom.wav");
  if (oldRuntime != nullptr)
    ::setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
  else
    ::unsetenv("XDG_RUNTIME_DIR");
  std::filesystem::remove_all(sessions().scratchFolder());
}

TEST_F(SessionEditorTest, SelectEditorStartsAtTheCurrentOne) {
  sessions().editorPath = "/opt/editor/bin/wavedit";
  prompter.openFiles.push_back("/usr/bin/audacity");
  sessions().selectEditor();
  EXPECT_EQ(prompter.openDialogs[0].title, "Select WAV editor...");
  EXPECT_EQ(prompter.openDialogs[0].initialFolder, "/opt/editor/bin");
  EXPECT_EQ(prompter.openDialogs[0].fileName, "wavedit");
  EXPECT_EQ(sessions().editorPath, "/usr/bin/audacity");
  sessions().selectEditor();  // cancelled: kept
  EXPECT_EQ(sessions().editorPath, "/usr/bin/audacity");
}

}  // namespace
}  // namespace voxloom
