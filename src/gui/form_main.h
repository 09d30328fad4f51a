#pragma once

#include <QFont>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/app/health_indicator.h"
#include "core/app/main_presenter.h"
#include "core/ports/view.h"
#include "core/random/random_source_kind.h"
#include "core/session/session_panel.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QGroupBox;
class QIcon;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QTimer;
class QToolButton;

namespace voxloom {

class HelpWindow;
class TFormAbout;
class TFormSpeedControlWindow;
class TFormVisualFeedbackWindow;
class SignalViewPanel;
class CompactLabel;

// The main window: menus, toolbar, the segment, play-time and session panels and the
// status bar. It forwards commands to the services and the presenter and shows
// their state; both outlive it.
class TFormMain : public QMainWindow, public View {
  Q_OBJECT

 public:
  explicit TFormMain(MainPresenter& presenter, QWidget* parent = nullptr);
  ~TFormMain() override;

  MainPresenter& controller() { return controller_; }
  AppServices& services() { return services_; }

  // Extras > Settings...; its dialog is made beside this window.
  QAction* settingsAction() const { return menuItems_.settings; }
  // MemoCueLabels, whose font is stored with the settings.
  QPlainTextEdit* cueLabelsMemo() const { return memoCueLabels_; }

  // Files named on the command line, opened when the window first shows.
  void setStartupFiles(std::vector<std::string> files) { startupFiles_ = std::move(files); }
  // The about box gets its version text at first show and is shown by MenuHelpAbout.
  void setAboutForm(TFormAbout* about) { about_ = about; }
  // How the cue-label font is chosen; the default is the font dialog.
  void setFontChooser(std::function<std::optional<QFont>(const QFont&)> chooser) {
    chooseFont_ = std::move(chooser);
  }

  void changed(ViewAspect aspect) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A command's button (or other control) and its menu item, always enabled together.
  struct CommandPair {
    QWidget* widget = nullptr;
    QAction* action = nullptr;
  };
  // Menu items that are no command of the command state.
  struct MenuItems {
    QAction* exit = nullptr;
    QAction* manual = nullptr;
    QAction* quickstart = nullptr;
    QAction* download = nullptr;
    QAction* about = nullptr;
    QAction* speedWindow = nullptr;
    QAction* feedbackWindow = nullptr;
    QAction* settings = nullptr;
  };
  struct SegmentControls {
    QSpinBox* duration = nullptr;
    QSpinBox* duration2 = nullptr;
    QCheckBox* segTo = nullptr;
    QCheckBox* overlap = nullptr;
    QCheckBox* zeroCross = nullptr;
    QCheckBox* useCueList = nullptr;
    QCheckBox* crossFade = nullptr;
    QMenu* fadeMenu = nullptr;
  };
  struct SourceMenuItems {
    std::array<QAction*, kRandomSourceKindCount> sources{};  // by RandomSourceKind
    QAction* convert = nullptr;
    QAction* recBest = nullptr;
    QAction* recNew = nullptr;
    QAction* fileLoop = nullptr;
  };
  struct SessionWidgets {
    std::array<CommandPair, kSessionControlCount> controls{};  // by SessionControl
    QLineEdit* file = nullptr;
    QLineEdit* dateTime = nullptr;
    QLineEdit* sequence = nullptr;
    QLineEdit* question = nullptr;
    QLineEdit* answer = nullptr;
    CompactLabel* heardWords = nullptr;  // LabelHeardWords
    QLabel* recordMode = nullptr;
    QAction* exportProvenance = nullptr;
    QAction* selectEditor = nullptr;
    QAction* defaultEditor = nullptr;
  };

  void buildMenus();
  void buildToolBar();
  QWidget* buildSegmentsGroup();
  QWidget* buildPlayEvpGroup();
  QWidget* buildSessionGroup();
  void buildStatusBar();
  void buildHealthPanels();  // form_main_health.cpp, with refreshHealth
  void refreshHealth();
  void wireCommands();
  void wireSession();  // form_main_session.cpp, with showSessionPanel
  void showSessionPanel();
  void wireEffects();            // form_main_effects.cpp
  void wireEngine();             // form_main_engine.cpp
  void wireRecording();          // form_main_record.cpp
  void refreshEngineControls();  // form_main_engine.cpp
  // The segment check boxes and the source options with the flags they show.
  using CheckBinding = std::pair<QCheckBox*, SegmentCheck SegmentOptions::*>;
  using OptionBinding = std::pair<QAction*, bool RandomSourceMenu::*>;
  std::array<CheckBinding, 5> segmentChecks() const;
  std::array<OptionBinding, 4> sourceOptions() const;
  void wireSources(Prompter& prompter);  // form_main_sources.cpp
  void refreshSourceCaptions();          // form_main_sources.cpp
  void refreshSourceWindows();           // form_main_sources.cpp, with the captions
  void wireToolWindows();                // form_main_tools.cpp, with refreshToolMarks
  void refreshToolMarks();
  void buildListenerPanel();  // form_main_listener.cpp, with wireListener, refreshListener
  void wireListener();
  void refreshListener();
  // The waveform view below the controls (form_main_signal.cpp).
  static constexpr int kSignalViewHeight = 220;
  QWidget* withSignalView(QWidget* controls);
  void refreshSignalView();

  QAction* addAction(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
  QToolButton* addToolButton(const char* name, const QString& hint, const QIcon& icon);

  void refreshTexts();
  void refreshCommands();
  void refreshDocument();
  void placePlayTimeSpin();
  void chooseCueLabelFont();
  void showAbout();
  void openStartUpFiles();

  MainPresenter& controller_;
  AppServices& services_;
  std::vector<std::string> startupFiles_;
  TFormAbout* about_ = nullptr;
  HelpWindow* helpWindow_ = nullptr;  // made when first needed
  std::function<std::optional<QFont>(const QFont&)> chooseFont_;
  bool shownOnce_ = false;
  bool startUpFilesOpened_ = false;
  bool mixerAvailable_ = false;

  std::array<CommandPair, kCommandCount> commandControls_{};
  MenuItems menuItems_;
  SegmentControls segments_;
  SourceMenuItems sourceMenu_;
  SessionWidgets session_;

  // The document's panels grow from these widths to their whole texts.
  static constexpr std::array<int, 3> kStatusPanelWidths{170, 65, 50};
  std::array<QLabel*, 3> statusPanels_{};
  CompactLabel* sourcePanel_ = nullptr;  // StatusBarSource
  QLabel* healthPanel_ = nullptr;        // StatusBarHealth
  QString healthTip_;                    // the hint, or the notice of a run's first failure
  QTimer* healthTimer_ = nullptr;        // runs while Make EVP does
  HealthIndicator healthIndicator_;
  QGroupBox* radioGroupRandomPlay_ = nullptr;
  QRadioButton* playForTime_ = nullptr;
  QSpinBox* playTimeSpin_ = nullptr;
  QPlainTextEdit* memoCueLabels_ = nullptr;
  QAction* mixerPlayback_ = nullptr;
  QAction* mixerRecording_ = nullptr;
  TFormSpeedControlWindow* speedWindow_ = nullptr;
  TFormVisualFeedbackWindow* feedbackWindow_ = nullptr;
  SignalViewPanel* signalView_ = nullptr;
  QAction* importLabels_ = nullptr;
  QAction* exportLabels_ = nullptr;
  CompactLabel* listenerPanel_ = nullptr;  // StatusBarListener
  QToolButton* listenerCancel_ = nullptr;  // ButtonListenerCancel
};

}  // namespace voxloom
