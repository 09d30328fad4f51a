// Recovery copies: kept when a signal ends the program, offered at the next start.
#include "core/app/main_presenter.h"
#include "core/app/recovery.h"

namespace voxloom {

namespace {

std::string recoveryQuestion(const RecoveryOrigin& origin) {
  std::string text = "Voxloom was ended before it could save your work. It kept copies of:\n";
  if (origin.hasDocument) {
    text += origin.documentPath.empty() ? "- a new WAV file\n"
                                        : "- the changed WAV file '" + origin.documentPath + "'\n";
  }
  if (origin.hasSession) {
    text += origin.sessionPath.empty() ? "- a new session\n"
                                       : "- the changed session '" + origin.sessionPath + "'\n";
  }
  return text + "\nDo you want to restore them? No deletes the copies.";
}

}  // namespace

bool MainPresenter::endBySignal() {
  services_.playback.stopAndDrain();
  AudioDocument& document = services_.document.document;
  services_.document.folders.lastWavFile = document.path;
  mainWindowOpen = false;
  if (services_.settings.saveOnExit) services_.settings.save(false);  // as a normal exit does
  if (recoveryFolder.empty()) return true;
  settleRecovery();  // a session saved since the last command leaves no copies behind
  return RecoveryStore(recoveryFolder).save(document, services_.sessions.sessions.session);
}

bool MainPresenter::offerRecovery() {
  if (recoveryFolder.empty()) return false;
  const RecoveryStore store(recoveryFolder);
  const RecoveryOrigin origin = store.pending();
  if (!origin.hasDocument && !origin.hasSession) return false;
  const Answer answer = prompter_.message("Recovery", recoveryQuestion(origin),
                                          MessageIcon::Question, MessageButtons::YesNo);
  // Ended by a signal while asking: the copies wait for the next start.
  if (!mainWindowOpen) return false;
  if (answer != Answer::Yes) {
    store.discard();
    return false;
  }
  AudioDocument& document = services_.document.document;
  SessionController& sessions = services_.sessions.sessions;
  std::string& sessionFolder = services_.document.folders.session;
  bool restored = false;
  // The document first: the session then finds its WAV file already there.
  if (origin.hasDocument && services_.readWavFile(store.documentCopy()) == 0) {
    document.path = origin.documentPath;
    document.setTitleFor(origin.documentPath);
    document.markModified();
    services_.relay.notify(ViewAspect::Texts);
    restored = true;
  }
  if (origin.hasSession) {
    const std::string keptFolder = sessionFolder;
    sessions.openSession(store.sessionCopy());
    sessionFolder = keptFolder;
    if (sessions.session.fileName == store.sessionCopy()) {
      sessions.session.fileName = origin.sessionPath;
      sessions.session.isModified = true;
      sessions.refreshSessionDisplay();
      restored = true;
    }
  }
  // Until it is saved or discarded the restored work exists only here and in the copies:
  // a crash must still find them. Copies that could not be read are offered again.
  recoveryRestored_ = restored;
  services_.states.set(kStateIdle);
  return restored;
}

void MainPresenter::commandStateChanged(int, const CommandView&) {
  settleRecovery();  // saving or discarding the document ends here
}

void MainPresenter::settleRecovery() {
  if (!recoveryRestored_ ||
      hasUnsavedWork(services_.document.document, services_.sessions.sessions.session))
    return;
  recoveryRestored_ = false;
  RecoveryStore(recoveryFolder).discard();
}

}  // namespace voxloom
