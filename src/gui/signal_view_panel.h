#pragma once

#include <QImage>
#include <QWidget>
#include <utility>
#include <vector>

#include "core/view/signal_view.h"

class QScrollBar;
class QTimer;
class QToolButton;

namespace voxloom {

struct CuePoint;

// The waveform view below the main window's controls: the signal's envelope, cues and
// regions, a time ruler, and the block sounding now with the play cursor. The state it
// shows lives in the core's SignalView; this widget draws it and forwards the mouse.
class SignalCanvas : public QWidget {
  Q_OBJECT

 public:
  SignalCanvas(SignalView& view, const AudioDocument& doc, QWidget* parent = nullptr);

  static constexpr int kRulerHeight = 18;
  static constexpr double kWheelStep = 1.5;  // zoom factor of one wheel notch

 signals:
  void axisChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void drawRuler(QPainter& p);
  // The regions' shading under the signal, or the cue lines and labels over it.
  void drawCues(QPainter& p, int top, int bottom, bool regions);
  void drawChannel(QPainter& p, int channel, int top, int height);
  // The machine listener's words: bars over their spans, each text at its start.
  void drawWords(QPainter& p, int top);
  int wordLaneHeight() const;

  SignalView& view_;
  const AudioDocument& doc_;
  std::vector<ColumnRange> columns_;
  QImage lane_;
  std::vector<std::pair<int, int>> spans_;  // rows drawn per column
  bool dragging_ = false;
  double dragX_ = 0;
};

class SignalViewPanel : public QWidget {
  Q_OBJECT

 public:
  SignalViewPanel(SignalView& view, const AudioDocument& doc, QWidget* parent = nullptr);

  // The document or the command state changed: take them in and redraw.
  void refresh();
  SignalCanvas* canvas() { return canvas_; }

 private:
  void tick();
  void showAxis();

  SignalView& view_;
  const AudioDocument& doc_;
  SignalCanvas* canvas_;
  QScrollBar* scrollBar_;
  QTimer* timer_;
};

}  // namespace voxloom
