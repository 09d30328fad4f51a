#include "core/session/session_controller.h"

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "core/session/session_file.h"
#include "core/util/text_line_reader.h"
#include "tests/core/session/session_example.h"
#include "tests/core/session/session_fixture.h"

namespace voxloom {
namespace {

using test::SessionFixture;
using C = SessionControl;

class SessionPanelTest : public SessionFixture {};
class SessionCaptureTest : public SessionFixture {};
class SessionOpenTest : public SessionFixture {};
class SessionSaveTest : public SessionFixture {};

std::string fileText(const std::string& path) {
  std::string text;
  EXPECT_TRUE(readWholeTextFile(path, text));
  return text;
}

TEST_F(SessionPanelTest, EmptySessionShowsNothingAndOffersOpen) {
  services.states.set(kStateIdle);
  EXPECT_EQ(panel().sequence, "0/0");
  EXPECT_EQ(panel().question, "");
  EXPECT_EQ(panel().questionColour, PanelColour::ButtonFace);
  for (std::size_t i = 0; i < kSessionControlCount; ++i)
    EXPECT_EQ(panel().enabled[i], static_cast<C>(i) == C::ButtonOpenSessionFile) << i;
  loadWav("a.wav");
  EXPECT_TRUE(panel()[C::ButtonSessionRec]);
  services.states.liveMode = true;
  services.states.set(kStateIdle);
  EXPECT_FALSE(panel()[C::ButtonSessionRec]);
  EXPECT_FALSE(panel()[C::ButtonOpenSessionFile]);
}

TEST_F(SessionPanelTest, OneRecordShowsItsTextsAndLabels) {
  loadWav("a.wav");
  questionAnswer = "Who?";
  ASSERT_TRUE(sessions().beginEvpCapture());
  sessions().appendSegmentEntry(0, 10, 1, "a", false, 0);
  sessions().appendSegmentEntry(10, 10, 2, "", true, 1);
  sessions().appendSegmentEntry(20, 10, 3, "b", false, 2);
  sessions().finishEvpCapture(4, 2);
  services.states.set(kStateIdle);
  EXPECT_EQ(panel().sequence, "1/1");
  EXPECT_EQ(panel().dateTime, "14.03.2026 21:05:09");
  EXPECT_EQ(panel().question, "Who?");
  EXPECT_EQ(panel().cueLabels, "ab");
  EXPECT_EQ(panel().questionColour, PanelColour::Window);
  for (C c : {C::ButtonCloseSessionFile, C::ButtonSaveSessionFile, C::ButtonSessionWav,
              C::ButtonSessionEdit, C::EditQuestion, C::EditAnswer, C::MemoCueLabels})
    EXPECT_TRUE(panel()[c]);
  for (C c : {C::ButtonSessionPrev, C::ButtonSessionNext, C::ButtonSessionStop, C::EditSessionFile,
              C::ButtonSessionPlay})
    EXPECT_FALSE(panel()[c]);
  // Any other state locks the whole panel; the replay state opens Stop and the memo.
  services.states.set(kStateMakingEvp);
  EXPECT_EQ(panel().enabled, decltype(panel().enabled){});
  EXPECT_EQ(panel().questionColour, PanelColour::ButtonFace);
  services.states.set(kStateSessionPlay);
  EXPECT_TRUE(panel()[C::ButtonSessionStop]);
  EXPECT_TRUE(panel()[C::MemoCueLabels]);
}

TEST_F(SessionPanelTest, ThreeRecordsNavigate) {
  loadWav("a.wav");
  // append, not "q" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on the insert that
  // operator+ (const char*, string&&) makes.
  for (int i = 0; i < 3; ++i) capture(1, std::string("q").append(std::to_string(i)));
  services.states.set(kStateIdle);
  EXPECT_EQ(panel().sequence, "3/3");
  EXPECT_FALSE(panel()[C::ButtonSessionNext]);
  EXPECT_TRUE(panel()[C::ButtonSessionPrev]);
  sessions().previousEvp();
  EXPECT_EQ(panel().sequence, "2/3");
  EXPECT_EQ(panel().question, "q1");
  EXPECT_TRUE(panel()[C::ButtonSessionNext]);
  sessions().previousEvp();
  sessions().previousEvp();  // stale: nothing happens
  EXPECT_EQ(panel().sequence, "1/3");
  EXPECT_FALSE(panel()[C::ButtonSessionPrev]);
  sessions().nextEvp();
  EXPECT_EQ(session().currentIndex, 1);
}

TEST_F(SessionPanelTest, EditsChangeOnlyWhatDiffers) {
  sessions().questionEdited("ignored");  // no record
  EXPECT_FALSE(session().isModified);
  loadWav("a.wav");
  capture(1, "same");
  session().isModified = false;
  sessions().questionEdited("same");
  EXPECT_FALSE(session().isModified);
  sessions().answerEdited("an answer");
  EXPECT_TRUE(session().isModified);
  EXPECT_EQ(session().records[0].answer, "an answer");
  EXPECT_EQ(panel().answer, "an answer");
  EXPECT_TRUE(panel()[C::ButtonSaveSessionFile]);
}

TEST_F(SessionPanelTest, RecordModeTogglesLabelAndCheck) {
  sessions().toggleRecordMode();
  EXPECT_EQ(panel().recordModeText, "Recording");
  EXPECT_TRUE(panel().recordModeOpaque);
  EXPECT_TRUE(panel().recordChecked);
  sessions().toggleRecordMode();
  EXPECT_EQ(panel().recordModeText, "");
  EXPECT_FALSE(panel().recordChecked);
}

TEST_F(SessionCaptureTest, TrimsTheBlocksStillQueued) {
  const std::string wav = loadWav("a.wav");
  ASSERT_TRUE(sessions().beginEvpCapture());
  EXPECT_EQ(promptLabels, std::vector<std::string>{"Please enter your comment or question:"});
  for (int serial = 1; serial <= 57; ++serial)
    sessions().appendSegmentEntry(serial, 1, serial, "", false, 0);
  sessions().finishEvpCapture(57, 20);
  ASSERT_EQ(session().count(), 1);
  const auto& entries = session().records[0].segments;
  ASSERT_EQ(entries.size(), 38u);
  for (int i = 0; i < 38; ++i) EXPECT_EQ(entries[static_cast<std::size_t>(i)].serial, i + 1);
  EXPECT_EQ(session().wavPath, wav);
  EXPECT_EQ(session().records[0].dateTime, "2026 03 14 21 05 09");
  EXPECT_FALSE(session().isCapturing);
}

TEST_F(SessionCaptureTest, MutedBlocksCountButLeaveNoEntry) {
  loadWav("a.wav");
  ASSERT_TRUE(sessions().beginEvpCapture());
  for (int serial = 1; serial <= 10; ++serial)
    if (serial != 3) sessions().appendSegmentEntry(serial, 1, serial, "", false, 0);
  sessions().finishEvpCapture(10, 5);  // blocks 1..6 sounded
  const auto& entries = session().records[0].segments;
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries.back().serial, 6);
}

TEST_F(SessionCaptureTest, NothingSoundedRemovesTheRecord) {
  const std::string first = loadWav("a.wav");
  capture(2);
  ASSERT_TRUE(sessions().beginEvpCapture());
  sessions().appendSegmentEntry(0, 1, 1, "", false, 0);
  sessions().finishEvpCapture(1, 20);  // stopped while the first blocks were queued
  EXPECT_EQ(session().count(), 1);
  EXPECT_EQ(session().currentIndex, 0);
  EXPECT_EQ(panel().sequence, "1/1");
  // The only record goes too, and with it the WAV path.
  services.sessions.sessions.session.records.clear();
  ASSERT_TRUE(sessions().beginEvpCapture());
  sessions().finishEvpCapture(0, 20);
  EXPECT_EQ(session().count(), 0);
  EXPECT_EQ(session().wavPath, "");
  EXPECT_TRUE(session().isModified);
}

TEST_F(SessionCaptureTest, LaterCapturesKeepTheFirstWavPath) {
  const std::string first = loadWav("a.wav");
  capture(1);
  services.document.document.path = "/elsewhere/b.wav";
  capture(1);
  EXPECT_EQ(session().wavPath, first);
  EXPECT_EQ(session().count(), 2);
}

// A session is opened from anywhere later: a WAV opened by a relative path is stored
// with its full path.
TEST_F(SessionCaptureTest, ARelativeWavPathIsStoredInFull) {
  const std::string full = loadWav("rel.wav");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(test::tempDir());
  services.openWavFile("rel.wav");
  ASSERT_EQ(services.document.document.path, "rel.wav");
  capture(1);
  std::filesystem::current_path(before);
  EXPECT_EQ(session().wavPath, full);
}

TEST_F(SessionCaptureTest, CancelledPromptChangesNothing) {
  loadWav("a.wav");
  questionAnswer.reset();
  EXPECT_FALSE(sessions().beginEvpCapture());
  sessions().appendSegmentEntry(0, 1, 1, "", false, 0);
  EXPECT_EQ(session().count(), 0);
  EXPECT_FALSE(session().isModified);
  EXPECT_EQ(session().wavPath, "");
}

TEST_F(SessionOpenTest, OpensTheExampleWithItsWavAlreadyLoaded) {
  const std::string wav = loadWav("whitenoise.wav");
  std::string text = test::kExampleSession;
  text.replace(text.find("C:\\EVP\\whitenoise.wav"), 21, wav);
  const std::string path = test::writeTempFile("night.evp", {text.begin(), text.end()});
  services.document.document.markModified();  // would ask if it were reloaded
  services.openFileByType(path);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(services.document.folders.session, test::tempDir());
  EXPECT_EQ(session().count(), 2);
  EXPECT_EQ(session().fileName, path);
  EXPECT_FALSE(session().isModified);
  EXPECT_EQ(panel().sessionFile, "night.evp");
  EXPECT_EQ(panel().sequence, "1/2");
  EXPECT_EQ(panel().cueLabels, "hellook");
}

TEST_F(SessionOpenTest, InvalidAndMissingFiles) {
  const std::string bad = test::writeTempFile("bad.evp", {'x', '\n'});
  sessions().openSession(bad);
  EXPECT_EQ(prompter.log(), std::vector<std::string>{"Error: Invalid session file."});
  EXPECT_EQ(session().fileName, "");
  // A new name gives an empty session under that name, without a message.
  const std::string fresh = test::tempDir() + "/new.evp";
  prompter.openFiles.push_back(fresh);
  sessions().openSession("");
  EXPECT_EQ(prompter.openDialogs.back().title, "Open new or existing session file...");
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(session().fileName, fresh);
  EXPECT_EQ(session().count(), 0);
}

TEST_F(SessionOpenTest, SearchesTheMissingWavFile) {
  const std::string found = test::writeTempFile("moved.wav", test::simpleWav(1, 16, 8000, 64));
  const std::string path =
      test::writeTempFile("s.evp", {test::kExampleSession.begin(), test::kExampleSession.end()});
  prompter.answers = {Answer::Yes};
  prompter.openFiles.push_back(found);
  sessions().openSession(path);
  ASSERT_EQ(prompter.openDialogs.size(), 1u);
  EXPECT_EQ(prompter.openDialogs[0].title, "Open WAV file...");
  EXPECT_EQ(prompter.openDialogs[0].fileName, "whitenoise.wav");  // from a Windows path
  EXPECT_EQ(session().wavPath, found);
  EXPECT_TRUE(session().isModified);
  EXPECT_EQ(session().count(), 2);
  EXPECT_EQ(services.document.document.path, found);

  // Giving up leaves an empty session without names (after the save question: No).
  prompter.answers = {Answer::No, Answer::No};
  sessions().openSession(path);
  EXPECT_EQ(session().count(), 0);
  EXPECT_EQ(session().fileName, "");
  EXPECT_EQ(session().wavPath, "");
}

TEST_F(SessionSaveTest, FirstSaveProposesTheStampAndUpgradesOldFiles) {
  const std::string wav = loadWav("w.wav");
  const std::string old = "# Voxloom 1.0 session file\n" + wav +
                          "\n[NextSequence]\n2026 03 14 21 05 09\nq\na\n100 200 3 [FADE] hi\n";
  const std::string path = test::writeTempFile("old.evp", {old.begin(), old.end()});
  sessions().openSession(path);
  EXPECT_EQ(sessions().saveSession(false), 0);  // unchanged: nothing, not even the dialog
  EXPECT_TRUE(prompter.saveDialogs.empty());
  EXPECT_EQ(fileText(path), old);

  sessions().answerEdited("b");
  prompter.saveFiles.push_back(path);
  EXPECT_EQ(sessions().saveSession(false), 0);
  EXPECT_EQ(prompter.saveDialogs.back().fileName, path);
  EXPECT_EQ(fileText(path),
            std::string(kSessionHeader) + "\n" + wav +
                "\n[NextSequence]\n2026 03 14 21 05 09\nq\nb\n100 200 3 -1 [FADE] hi\n");
  EXPECT_FALSE(panel()[SessionControl::ButtonSaveSessionFile]);

  prompter.answers = {Answer::Yes};  // the close question
  prompter.saveFiles.push_back(std::nullopt);
  sessions().answerEdited("c");
  EXPECT_EQ(sessions().closeSession(), 1);  // the dialog was cancelled
  EXPECT_EQ(session().count(), 1);

  prompter.answers = {Answer::No};
  EXPECT_EQ(sessions().closeSession(), 0);
  EXPECT_EQ(session().count(), 0);
  capture(1);
  prompter.saveFiles.push_back(std::nullopt);
  sessions().saveSession(false);
  EXPECT_EQ(prompter.saveDialogs.back().fileName, "20260314_210509");
  EXPECT_EQ(prompter.saveDialogs.back().title, "Save session file...");
}

TEST_F(SessionSaveTest, AFailedSaveOffersRetryAndKeepsThePreviousFile) {
  loadWav("w.wav");
  capture(2);
  const std::string path = test::writeTempFile("s.evp", {'o', 'l', 'd'});
  prompter.saveFiles.push_back(path);
  prompter.answers = {Answer::Retry, Answer::Cancel};
  // Files may not grow past 16 bytes while saving: every write of the session fails.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limited{16, saved.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const int result = sessions().saveSession(false);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].text, "Can't open session file '" + path + "' for writing.");
  EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::RetryCancel);
  EXPECT_EQ(test::readWholeFile(path), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_TRUE(session().isModified);
  EXPECT_EQ(session().fileName, "");
}

TEST_F(SessionSaveTest, ReplacingTheDocumentClosesTheSessionFirst) {
  loadWav("w.wav");
  capture(1);
  prompter.answers = {Answer::Cancel};
  services.openWavFile(test::writeTempFile("x.wav", test::simpleWav(1, 16, 8000, 64)));
  EXPECT_EQ(services.document.document.path, test::tempDir() + "/w.wav");  // cancelled
  EXPECT_EQ(session().count(), 1);
  prompter.answers = {Answer::No};
  EXPECT_TRUE(controller.closeQuery());
  EXPECT_EQ(session().count(), 0);
  EXPECT_FALSE(session().recordMode);
}

}  // namespace
}  // namespace voxloom
