#pragma once

#include <QFont>
#include <QMainWindow>
#include <functional>
#include <optional>

class QFrame;
class QLabel;

namespace voxloom {

class AppServices;
class MainPresenter;

// "Visual Feedback Window": the symbol of the segment now sounding, large, in its
// palette colour, with warnings about settings that spoil the mapping below it.
class TFormVisualFeedbackWindow : public QMainWindow {
  Q_OBJECT

 public:
  TFormVisualFeedbackWindow(MainPresenter& controller, QWidget* owner = nullptr);
  ~TFormVisualFeedbackWindow() override;

  // How "&Font..." asks for a font; the default is the font dialog.
  void setFontChooser(std::function<std::optional<QFont>(const QFont&)> chooser) {
    chooseFont_ = std::move(chooser);
  }
  // Shows symbol, colour and note of the last segment, and the window's visibility.
  void refresh();
  // The font the symbol is drawn in: the chosen one when installed, else the fallback.
  QFont symbolFont();
  // Called once the symbol has been painted (measurements).
  std::function<void()> painted;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Moves and sizes the window as the settings keep it, on a visible screen.
  void takeStoredPlace();
  void chooseFont();
  void showSegment();

  MainPresenter& controller_;
  AppServices& services_;
  std::function<std::optional<QFont>(const QFont&)> chooseFont_;
  QFrame* panel_ = nullptr;
  QLabel* labelFeedbackString_ = nullptr;
  QLabel* labelNote1_ = nullptr;
  bool refreshing_ = false;
  bool chosenFontInstalled_ = false;
};

}  // namespace voxloom
