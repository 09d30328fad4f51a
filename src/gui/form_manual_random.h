#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

class QCheckBox;
class QSlider;

namespace voxloom {

// "Manual random number generation": the slider that is the random source, and the
// mute option. A tool window; the position and mark are written into the bound values.
class TFormManualRandom : public QWidget {
  Q_OBJECT

 public:
  explicit TFormManualRandom(QWidget* owner = nullptr);

  // The slider position and CheckBoxMute live in the random sources; `closed` runs when
  // the user closes the window.
  void bind(std::int32_t* position, bool* mute, std::function<void()> closed);
  void refresh();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::int32_t* position_ = nullptr;
  bool* mute_ = nullptr;
  std::function<void()> closed_;
  QSlider* trackBarRandom_ = nullptr;
  QCheckBox* checkBoxMute_ = nullptr;
};

}  // namespace voxloom
