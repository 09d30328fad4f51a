#include "gui/signal_view_panel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "core/view/word_lane.h"

namespace voxloom {

namespace {

const QColor kWave(40, 90, 160);
const QColor kCue(200, 120, 0);
// Neighbouring regions alternate, so that their edges show. Opaque: blending a
// thousand thin spans costs more than the whole signal.
const QColor kRegions[2] = {QColor(255, 244, 222), QColor(255, 223, 183)};
const QColor kSounding(30, 200, 60, 120);
const QColor kCursor(210, 30, 30);
// The machine listener's words: their own colour, apart from the cues' orange.
const QColor kWord(20, 140, 150);

}  // namespace

SignalCanvas::SignalCanvas(SignalView& view, const AudioDocument& doc, QWidget* parent)
    : QWidget(parent), view_(view), doc_(doc) {
  setObjectName("SignalCanvas");
  setFocusPolicy(Qt::StrongFocus);
  setMinimumHeight(80);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setToolTip("Wheel: zoom around the pointer. Drag: move. Home/End: start/end. F: whole signal.");
}

void SignalCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_.axis.setWidth(width());
  emit axisChanged();
}

void SignalCanvas::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  if (delta.y() != 0 && std::abs(delta.y()) >= std::abs(delta.x())) {
    view_.axis.zoomAround(event->position().x(), std::pow(kWheelStep, delta.y() / 120.0));
  } else if (delta.x() != 0) {
    view_.axis.scrollBy(-delta.x() / 120.0 * width() / 10);
  }
  event->accept();
  emit axisChanged();
}

void SignalCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  dragX_ = event->position().x();
  setCursor(Qt::ClosedHandCursor);
}

void SignalCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const double x = event->position().x();
  view_.axis.scrollBy(dragX_ - x);
  dragX_ = x;
  emit axisChanged();
}

void SignalCanvas::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
  unsetCursor();
}

void SignalCanvas::keyPressEvent(QKeyEvent* event) {
  TimeAxis& axis = view_.axis;
  switch (event->key()) {
    case Qt::Key_Home:
      axis.home();
      break;
    case Qt::Key_End:
      axis.end();
      break;
    case Qt::Key_F:
      axis.fit();
      break;
    case Qt::Key_Plus:
      axis.zoomAround(width() / 2.0, 2);
      break;
    case Qt::Key_Minus:
      axis.zoomAround(width() / 2.0, 0.5);
      break;
    case Qt::Key_Left:
      axis.scrollBy(-width() / 10.0);
      break;
    case Qt::Key_Right:
      axis.scrollBy(width() / 10.0);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  emit axisChanged();
}

void SignalCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  drawRuler(p);
  const int top = kRulerHeight;
  // The heard words take a lane of their own at the bottom, under the cues and the signal.
  const int wordLaneTop = view_.heardWords.empty() ? height() : height() - wordLaneHeight();
  drawCues(p, top, wordLaneTop, true);
  const SampleSource source = view_.samples();
  if (source.frameCount > 0) {
    const int lanes = source.channels;
    const int laneHeight = (wordLaneTop - top) / lanes;
    for (int c = 0; c < lanes; ++c) drawChannel(p, c, top + c * laneHeight, laneHeight);
    if (lanes == 2) {
      p.setPen(palette().color(QPalette::Mid));
      p.drawLine(0, top + laneHeight, width(), top + laneHeight);
    }
  }
  drawCues(p, top, wordLaneTop, false);
  if (wordLaneTop < height()) drawWords(p, wordLaneTop);

  if (const auto sounding = view_.sounding()) {
    const TimeAxis& axis = view_.axis;
    const double x0 = axis.xOf(sounding->start);
    const double x1 = std::max(axis.xOf(sounding->start + sounding->length), x0 + 1);
    p.fillRect(QRectF(x0, top, x1 - x0, height() - top), kSounding);
    p.fillRect(QRectF(x0, top - 5, x1 - x0, 5), kSounding.darker(130));
    p.setPen(QPen(kCursor, 1));
    const double xc = axis.xOf(sounding->cursor);
    p.drawLine(QPointF(xc, top), QPointF(xc, height()));
  }

  // What runs, and how far the overview is.
  QString note = QString::fromStdString(view_.runText());
  const SignalSummary* summary = view_.summary();
  if (note.isEmpty() && summary != nullptr && !summary->complete() && summary->frameCount() > 0)
    note = QStringLiteral("Building overview %1 %")
               .arg(static_cast<int>(100.0 * summary->readyFrames() / summary->frameCount()));
  if (!note.isEmpty()) {
    const QRect box = p.fontMetrics().boundingRect(note).adjusted(-4, -1, 4, 1);
    const QRect at(width() - box.width() - 2, height() - box.height() - 2, box.width(),
                   box.height());
    p.fillRect(at, QColor(255, 255, 255, 210));
    p.setPen(Qt::black);
    p.drawText(at, Qt::AlignCenter, note);
  }
  if (hasFocus()) {
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void SignalCanvas::drawRuler(QPainter& p) {
  p.fillRect(0, 0, width(), kRulerHeight, palette().color(QPalette::Window));
  p.setPen(palette().color(QPalette::Mid));
  p.drawLine(0, kRulerHeight - 1, width(), kRulerHeight - 1);
  const double rate = view_.rate();
  if (rate <= 0 || view_.samples().frameCount <= 0) return;
  const TimeAxis& axis = view_.axis;
  const double labelWidth = p.fontMetrics().horizontalAdvance("0:00:00.000") + 12;
  const double step = rulerStep(axis.framesPerPixel(), rate, labelWidth);
  const double firstSecond = std::floor(axis.firstFrame() / rate / step) * step;
  const double lastSecond = axis.frameAt(width()) / rate;
  p.setPen(palette().color(QPalette::WindowText));
  for (double s = firstSecond; s <= lastSecond; s += step) {
    const double x = axis.xOf(s * rate);
    if (x < -labelWidth) continue;
    p.drawLine(QPointF(x, kRulerHeight - 6), QPointF(x, kRulerHeight - 1));
    p.drawText(QPointF(x + 3, kRulerHeight - 5), QString::fromStdString(timeText(s)));
  }
}

void SignalCanvas::drawChannel(QPainter& p, int channel, int top, int height) {
  columnEnvelope(view_.axis, view_.summary(), view_.samples(), channel, columns_);
  const double middle = top + height / 2.0;
  const double half = (height - 2) / 2.0;
  p.setPen(palette().color(QPalette::Midlight));
  p.drawLine(QPointF(0, middle), QPointF(width(), middle));
  // Columns are written straight into an image: painting thousands of long lines or a
  // jagged polygon costs far more than setting the pixels.
  if (lane_.width() != width() || lane_.height() != height)
    lane_ = QImage(width(), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
  lane_.fill(Qt::transparent);
  const QRgb colour = kWave.rgba();
  const double mid = (height - 1) / 2.0;
  const int last = lane_.height() - 1;
  // Row by row: the image's memory is then written in order.
  const int columns = std::min<int>(static_cast<int>(columns_.size()), lane_.width());
  spans_.assign(static_cast<std::size_t>(columns), {1, 0});
  for (int x = 0; x < columns; ++x) {
    const ColumnRange& r = columns_[static_cast<std::size_t>(x)];
    if (r.empty()) continue;
    const int y0 = std::clamp(static_cast<int>(std::lround(mid - r.max * half)), 0, last);
    const int y1 = std::clamp(static_cast<int>(std::lround(mid - r.min * half)), y0, last);
    spans_[static_cast<std::size_t>(x)] = {y0, y1};
  }
  for (int y = 0; y <= last; ++y) {
    auto* row = reinterpret_cast<QRgb*>(lane_.scanLine(y));
    for (int x = 0; x < columns; ++x) {
      const auto [y0, y1] = spans_[static_cast<std::size_t>(x)];
      if (y >= y0 && y <= y1) row[x] = colour;
    }
  }
  p.drawImage(0, top, lane_);
}

int SignalCanvas::wordLaneHeight() const {
  return fontMetrics().height() + 6;
}

void SignalCanvas::drawWords(QPainter& p, int top) {
  p.fillRect(0, top, width(), height() - top, palette().color(QPalette::AlternateBase));
  p.setPen(palette().color(QPalette::Mid));
  p.drawLine(0, top, width(), top);
  const QFontMetrics metrics = p.fontMetrics();
  const auto marks =
      wordLaneMarks(view_.heardWords, view_.axis, view_.rate(), [&metrics](const std::string& w) {
        return static_cast<double>(metrics.horizontalAdvance(QString::fromStdString(w)));
      });
  const int barHeight = 3;
  for (const WordMark& mark : marks)
    p.fillRect(QRectF(mark.x0, height() - barHeight - 1, mark.x1 - mark.x0, barHeight), kWord);
  p.setPen(kWord.darker(130));
  for (const WordMark& mark : marks) {
    if (!mark.labelled) continue;
    p.drawText(QPointF(std::max(mark.x0, 0.0) + 2, top + metrics.ascent() + 1),
               QString::fromStdString(view_.heardWords[mark.index].word));
  }
}

void SignalCanvas::drawCues(QPainter& p, int top, int bottom, bool regions) {
  const TimeAxis& axis = view_.axis;
  const double first = axis.firstFrame();
  const double last = axis.frameAt(width());
  const QFontMetrics metrics = p.fontMetrics();
  std::vector<QLineF> lines;
  double labelsEnd = -1e9;  // labels never overlap: later ones give way
  std::size_t regionCount = 0;
  std::vector<std::int8_t> shade(regions ? static_cast<std::size_t>(width()) : 0, -1);
  for (const CuePoint& cue : doc_.cues) {
    if (cue.length > 0) ++regionCount;
    const double end = static_cast<double>(cue.position) + std::max<Frames>(cue.length, 0);
    if (end < first || cue.position > last) continue;
    const double x = axis.xOf(cue.position);
    if (regions) {
      // Marked per column first, then filled in runs: at a coarse zoom many regions
      // share a column.
      if (cue.length <= 0) continue;
      const int x0 = std::clamp(static_cast<int>(std::floor(x)), 0, width());
      const int x1 = std::clamp(static_cast<int>(std::ceil(axis.xOf(end))), x0 + 1, width());
      for (int c = x0; c < x1; ++c) shade[static_cast<std::size_t>(c)] = regionCount % 2;
      continue;
    }
    if (x < 0) continue;
    lines.emplace_back(x, top, x, bottom);
    if (x >= labelsEnd && !cue.label.empty()) {
      const QString label = QString::fromStdString(cue.label);
      const int w = metrics.horizontalAdvance(label);
      p.fillRect(QRectF(x + 1, top + 1, w + 4, metrics.height()), QColor(255, 245, 225, 220));
      p.setPen(kCue.darker(150));
      p.drawText(QPointF(x + 3, top + metrics.ascent() + 1), label);
      labelsEnd = x + w + 8;
    }
  }
  if (regions) {
    for (int x = 0; x < width();) {
      const std::int8_t kind = shade[static_cast<std::size_t>(x)];
      int end = x + 1;
      while (end < width() && shade[static_cast<std::size_t>(end)] == kind) ++end;
      if (kind >= 0) p.fillRect(x, top, end - x, bottom - top, kRegions[kind]);
      x = end;
    }
    return;
  }
  // Cues closer than a few columns apart would paint the signal over: they become
  // ticks under the ruler, one a column.
  if (static_cast<int>(lines.size()) > width() / 4) {
    std::vector<bool> marked(static_cast<std::size_t>(width()) + 1, false);
    std::vector<QLineF> ticks;
    for (const QLineF& line : lines) {
      const auto x = static_cast<std::size_t>(line.x1());
      if (x < marked.size() && !marked[x]) {
        marked[x] = true;
        ticks.emplace_back(line.x1(), top, line.x1(), top + 6);
      }
    }
    lines.swap(ticks);
  }
  p.setPen(QPen(kCue, 1));
  p.drawLines(lines.data(), static_cast<int>(lines.size()));
}

SignalViewPanel::SignalViewPanel(SignalView& view, const AudioDocument& doc, QWidget* parent)
    : QWidget(parent),
      view_(view),
      doc_(doc),
      canvas_(new SignalCanvas(view, doc, this)),
      scrollBar_(new QScrollBar(Qt::Horizontal, this)),
      timer_(new QTimer(this)) {
  setObjectName("SignalView");
  scrollBar_->setObjectName("ScrollBarSignalView");
  auto* fit = new QToolButton(this);
  fit->setObjectName("ButtonSignalViewFit");
  fit->setText("Fit");
  fit->setToolTip("Show the whole signal (F)");
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(scrollBar_, 1);
  row->addWidget(fit);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(canvas_, 1);
  column->addLayout(row);

  connect(canvas_, &SignalCanvas::axisChanged, this, &SignalViewPanel::showAxis);
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (static_cast<int>(view_.axis.firstFrame()) == value) return;
    view_.axis.scrollTo(value);
    canvas_->update();
  });
  connect(fit, &QToolButton::clicked, this, [this] {
    view_.axis.fit();
    showAxis();
  });
  // Redraws while the overview grows or something plays; idle otherwise.
  timer_->setInterval(30);
  connect(timer_, &QTimer::timeout, this, &SignalViewPanel::tick);
  refresh();
}

void SignalViewPanel::refresh() {
  view_.update();
  view_.axis.setFrameCount(view_.samples().frameCount);
  if (view_.building() || view_.running()) {
    if (!timer_->isActive()) timer_->start();
  }
  showAxis();
}

void SignalViewPanel::tick() {
  view_.update();
  view_.axis.setFrameCount(view_.samples().frameCount);  // a recording grows
  if (const auto sounding = view_.sounding()) {
    // Follow the cursor when it leaves the view, unless the user is looking elsewhere.
    const double x = view_.axis.xOf(sounding->cursor);
    if (x >= view_.axis.width() && x < view_.axis.width() * 1.2)
      view_.axis.reveal(sounding->cursor);
  }
  if (!view_.building() && !view_.running()) timer_->stop();
  showAxis();
}

void SignalViewPanel::showAxis() {
  const TimeAxis& axis = view_.axis;
  const QSignalBlocker quiet(scrollBar_);
  const double visible = axis.width() * axis.framesPerPixel();
  scrollBar_->setRange(0, static_cast<int>(axis.maxFirstFrame()));
  scrollBar_->setPageStep(std::max(1, static_cast<int>(visible)));
  scrollBar_->setSingleStep(std::max(1, static_cast<int>(visible / 10)));
  scrollBar_->setValue(static_cast<int>(axis.firstFrame()));
  canvas_->update();
}

}  // namespace voxloom
