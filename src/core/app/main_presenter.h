#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/app/app_services.h"
#include "core/ports/prompter.h"
#include "core/ports/shell.h"

namespace voxloom {

inline constexpr const char* kWebSiteUrl = "https://voxloom.org/";
inline constexpr const char* kMixerProgram = "pavucontrol";

// The main window's steps that span the services: start-up, the close query, the end by
// a signal with its recovery copies, and the help commands. The window forwards every
// other command to the service that carries it out.
class MainPresenter : private CommandFollower {
 public:
  MainPresenter(AppServices& services, Prompter& prompter, Shell& shell);
  MainPresenter(const MainPresenter&) = delete;
  MainPresenter& operator=(const MainPresenter&) = delete;

  AppServices& services() { return services_; }
  Prompter& prompter() { return prompter_; }

  bool mainWindowOpen = true;
  // Where unsaved work is kept when a signal ends the program; empty: nowhere.
  std::string recoveryFolder;

  // Start-up once the window is first shown: enter idle, open the files named on the
  // command line in order, reopen the last WAV file if so configured.
  void startUp(const std::vector<std::string>& files);
  // Its two halves, for a window that enters idle at once but shows the messages of
  // opening files only once it is on the screen.
  void enterIdle();
  void openStartUpFiles(const std::vector<std::string>& files);
  // The close query: true when the window may close.
  bool closeQuery();
  // The end by SIGTERM, SIGINT or SIGHUP: stops any run and closes the devices as a
  // normal exit does, but asks nothing and keeps a modified document and an unsaved
  // session as recovery copies. False when a copy could not be written.
  bool endBySignal();
  // At start-up: offers the copies an earlier run left; Yes restores them as unsaved
  // work, No deletes them. True when work was restored.
  bool offerRecovery();

  void saveSettingsNow();  // ButtonSaveNow
  void playSession();      // ButtonSessionPlay, MenuSessionPlay: every record
  void playCurrentEvp();   // ButtonSessionPlaySeq, MenuSessionEVP: the current record

  std::string manualPath() const;
  std::string quickstartPath() const;
  // Shows a bundled help page in the program's own window, with a note saying why and
  // where the file is; used when the desktop cannot open what was asked for.
  std::function<void(const std::string& path, const std::string& note)> showHelpPage;
  void showManual();
  void showQuickstart();
  void openWebSite();
  bool mixerAvailable();
  void openMixer(bool recordingDevices);

 private:
  void openHelp(const std::string& target, const std::string& bundledPage);
  // Restored work keeps its copies until it is saved or deliberately discarded.
  void commandStateChanged(int state, const CommandView& commands) override;
  void settleRecovery();
  bool recoveryRestored_ = false;

  AppServices& services_;
  Prompter& prompter_;
  Shell& shell_;
};

// The window program's core in the order it is built: the services, then the presenter.
// It outlives the window.
struct WindowCore {
  WindowCore(Prompter& prompter, Shell& shell, QuestionPrompt& questions)
      : services(prompter, shell, questions), presenter(services, prompter, shell) {}
  AppServices services;
  MainPresenter presenter;
};

}  // namespace voxloom
