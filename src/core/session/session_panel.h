#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace voxloom {

// The controls of the "EVP Session" panel whose enabled state the session decides;
// each button's menu item follows it.
enum class SessionControl : std::size_t {
  EditSessionFile,
  ButtonOpenSessionFile,   // MenuSessionOpen
  ButtonCloseSessionFile,  // MenuSessionNew
  ButtonSaveSessionFile,   // MenuSessionSave
  EditDateTime,
  EditSequence,
  EditQuestion,
  EditAnswer,
  MemoCueLabels,
  ButtonSessionRec,      // MenuSessionRecord
  ButtonSessionPlay,     // MenuSessionPlay
  ButtonSessionPlaySeq,  // MenuSessionEVP
  ButtonSessionStop,     // MenuSessionStop
  ButtonSessionPrev,     // MenuSessionPrev
  ButtonSessionNext,     // MenuSessionNext
  ButtonSessionWav,      // MenuSessionWAV
  ButtonSessionEdit,     // MenuSessionEdit
  Count
};
inline constexpr std::size_t kSessionControlCount = static_cast<std::size_t>(SessionControl::Count);

enum class PanelColour { Window, ButtonFace };

// What the session panel shows.
struct SessionPanel {
  std::string recordModeText;     // LabelSessionRecordMode: "Recording" or empty
  bool recordModeOpaque = false;  // its background is drawn while recording is on
  std::string sessionFile;        // EditSessionFile
  std::string dateTime;           // EditDateTime
  std::string sequence = "0/0";   // EditSequence
  std::string question;           // EditQuestion
  std::string answer;             // EditAnswer
  std::string heardWords;         // what the machine listener heard, beside the answer
  std::string cueLabels;          // MemoCueLabels: one line
  bool recordChecked = false;     // check mark of MenuSessionRecord
  PanelColour questionColour = PanelColour::ButtonFace;
  PanelColour answerColour = PanelColour::ButtonFace;
  std::array<bool, kSessionControlCount> enabled{};

  bool operator[](SessionControl c) const { return enabled[static_cast<std::size_t>(c)]; }
  bool& operator[](SessionControl c) { return enabled[static_cast<std::size_t>(c)]; }
};

}  // namespace voxloom
