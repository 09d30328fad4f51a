// Transport commands, the "Segments" group, the play-time controls and the random-source
// menu, wired to the playback service's parts.
#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>

#include "gui/form_main.h"

namespace voxloom {

namespace {

void showSpin(QSpinBox* spin, const SegmentSpin& state, const QPalette& standard) {
  const QSignalBlocker quiet(spin);
  spin->setValue(state.value);
  spin->setEnabled(state.enabled);
  QPalette palette = spin->palette();
  const QColor background = state.colour == ControlColour::Window
                                ? standard.color(QPalette::Base)
                                : standard.color(QPalette::Button);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, background);
  spin->setPalette(palette);
}

}  // namespace

void TFormMain::wireEngine() {
  PlaybackParts& parts = services_.playback.parts;
  auto onCommand = [this](Command command, auto handler) {
    const CommandPair& pair = commandControls_[static_cast<std::size_t>(command)];
    connect(pair.action, &QAction::triggered, this, handler);
    if (auto* button = qobject_cast<QAbstractButton*>(pair.widget))
      connect(button, &QAbstractButton::clicked, this, handler);
  };
  onCommand(Command::Play, [this] { services_.playback.play(); });
  onCommand(Command::MakeEvp, [this] { services_.playback.makeEvp(); });
  onCommand(Command::Pause, [this] {
    services_.playback.togglePause();
    refreshEngineControls();  // the check mark follows the engine, not the click
  });
  onCommand(Command::Stop, [this] { services_.playback.stop(); });
  connect(commandControls_[static_cast<std::size_t>(Command::LogRandom)].action,
          &QAction::triggered, this, [this] {
            services_.playback.toggleRandomLog();
            refreshEngineControls();
          });

  auto spinHandler = [this](QSpinBox* spin, int (PlaybackParts::*change)(int)) {
    connect(spin, &QSpinBox::valueChanged, this, [this, spin, change](int value) {
      const QSignalBlocker quiet(spin);  // the snapped value must not re-enter
      spin->setValue((services_.playback.parts.*change)(value));
    });
  };
  spinHandler(segments_.duration, &PlaybackParts::changeDuration);
  spinHandler(segments_.duration2, &PlaybackParts::changeDuration2);
  for (const auto& [box, check] : segmentChecks()) {
    connect(box, &QAbstractButton::clicked, this, [this, check] {
      services_.playback.parts.clickOption(services_.playback.parts.options.*check);
      refreshEngineControls();
    });
  }

  // PopupMenuFade: opening checks the current mode (none outside 0..11); an item sets it.
  QMenu* fadeMenu = segments_.fadeMenu;
  const QList<QAction*> fadeItems = fadeMenu->actions();
  connect(fadeMenu, &QMenu::aboutToShow, this, [this, fadeItems] {
    const int mode = services_.playback.parts.options.fadeMode;
    QActionGroup* radio = fadeItems.front()->actionGroup();
    if (radio != nullptr)
      radio->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < fadeItems.size(); ++i) fadeItems[i]->setChecked(i == mode);
    if (radio != nullptr) radio->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  });
  for (int i = 0; i < fadeItems.size(); ++i) {
    connect(fadeItems[i], &QAction::triggered, this,
            [this, i] { services_.playback.parts.options.fadeMode = i; });
  }

  // Play EVP: the item and the play time; a change of the spin edit selects item 1.
  connect(playForTime_, &QRadioButton::toggled, this,
          [this](bool on) { services_.playback.parts.playTime.itemIndex = on ? 1 : 0; });
  connect(playTimeSpin_, &QSpinBox::valueChanged, this, [this](int value) {
    const QSignalBlocker quiet(playTimeSpin_);
    playTimeSpin_->setValue(changePlayTime(services_.playback.parts.playTime, value));
    playForTime_->setChecked(true);
  });

  // Preferences: the random source (only the pseudo-random generator so far) and options.
  QAction* pseudoRng = sourceMenu_.sources[static_cast<std::size_t>(RandomSourceKind::PseudoRng)];
  connect(pseudoRng, &QAction::triggered, this, [this] {
    services_.playback.parts.random.selectRandomSource(RandomSourceKind::PseudoRng, "", "", false);
    refreshEngineControls();
  });
  for (const auto& [item, flag] : sourceOptions()) {
    connect(item, &QAction::toggled, this,
            [this, flag](bool on) { services_.playback.parts.random.menu.*flag = on; });
  }
  (void)parts;
}

void TFormMain::refreshEngineControls() {
  PlaybackParts& parts = services_.playback.parts;
  const SegmentOptions& options = parts.options;
  const QPalette standard = palette();
  showSpin(segments_.duration, options.duration, standard);
  showSpin(segments_.duration2, options.duration2, standard);
  for (const auto& [box, member] : segmentChecks()) {
    const SegmentCheck& check = options.*member;
    box->setChecked(check.checked);
    box->setEnabled(check.enabled);
  }

  const bool paused = parts.engine() != nullptr && parts.engine()->isPaused();
  const CommandPair& pause = commandControls_[static_cast<std::size_t>(Command::Pause)];
  pause.action->setChecked(paused);
  if (auto* button = qobject_cast<QAbstractButton*>(pause.widget)) button->setChecked(paused);
  commandControls_[static_cast<std::size_t>(Command::LogRandom)].action->setChecked(
      parts.random.menu.logChecked);

  const RandomSourceMenu& menu = parts.random.menu;
  for (std::size_t i = 0; i < sourceMenu_.sources.size(); ++i)
    sourceMenu_.sources[i]->setChecked(menu.checked[i]);
  for (const auto& [item, flag] : sourceOptions()) {
    const QSignalBlocker quiet(item);
    item->setChecked(menu.*flag);
  }
  refreshSourceWindows();
  refreshHealth();  // the source or the run may have changed
}

std::array<TFormMain::CheckBinding, 5> TFormMain::segmentChecks() const {
  return {{
      {segments_.segTo, &SegmentOptions::segTo},
      {segments_.overlap, &SegmentOptions::overlap},
      {segments_.zeroCross, &SegmentOptions::zeroCrossAdjust},
      {segments_.useCueList, &SegmentOptions::useCueList},
      {segments_.crossFade, &SegmentOptions::crossFade},
  }};
}

std::array<TFormMain::OptionBinding, 4> TFormMain::sourceOptions() const {
  return {{
      {sourceMenu_.convert, &RandomSourceMenu::convert},
      {sourceMenu_.recBest, &RandomSourceMenu::recBest},
      {sourceMenu_.recNew, &RandomSourceMenu::recNew},
      {sourceMenu_.fileLoop, &RandomSourceMenu::fileLoop},
  }};
}

}  // namespace voxloom
