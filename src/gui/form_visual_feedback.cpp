#include "gui/form_visual_feedback.h"

#include <QCloseEvent>
#include <QFontDialog>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMoveEvent>

#include "core/app/main_presenter.h"
#include "gui/feedback_symbols.h"
#include "gui/window_settings.h"

namespace voxloom {

namespace {

constexpr int kSymbolPixels = 400;

QColor paletteColour(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

// A label that says when it has painted, so the time from a segment's start to its
// symbol on the screen can be measured.
class SymbolLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> painted;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QLabel::paintEvent(event);
    if (painted) painted();
  }
};

// The font the dialog starts on: the one shown, with the style name and point size of
// the face really drawn. The dialog finds its style by name, and for a family without a
// "Normal" style (one with "Book" instead) it would otherwise start on the first style
// listed, such as "Oblique"; it knows no pixel sizes either.
QFont dialogStartFont(const QFont& shown) {
  const QFontInfo face(shown);
  QFont font = shown;
  font.setFamily(face.family());
  font.setStyleName(face.styleName());
  font.setPointSize(face.pointSize());
  return font;
}

bool sameChoice(const QFont& a, const QFont& b) {
  return a.family() == b.family() && a.pointSize() == b.pointSize() && a.weight() == b.weight() &&
         a.italic() == b.italic() && a.underline() == b.underline() &&
         a.strikeOut() == b.strikeOut();
}

}  // namespace

TFormVisualFeedbackWindow::TFormVisualFeedbackWindow(MainPresenter& controller, QWidget* owner)
    : QMainWindow(owner, Qt::Window), controller_(controller), services_(controller.services()) {
  setObjectName("FormVisualFeedbackWindow");
  setWindowTitle("Visual Feedback Window");
  chooseFont_ = [this](const QFont& current) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, this);
    return ok ? std::optional<QFont>(font) : std::nullopt;
  };

  panel_ = new QFrame(this);
  panel_->setObjectName("Panel");
  panel_->setFrameStyle(QFrame::Box | QFrame::Plain);
  panel_->setAutoFillBackground(true);
  QPalette white = panel_->palette();
  white.setColor(QPalette::Window, Qt::white);
  panel_->setPalette(white);

  auto* symbol = new SymbolLabel("A", panel_);
  symbol->painted = [this] {
    if (painted) painted();
  };
  labelFeedbackString_ = symbol;
  labelFeedbackString_->setObjectName("LabelFeedbackString");
  labelFeedbackString_->setAlignment(Qt::AlignCenter);
  // A small stored size clips the symbol rather than being overruled by it.
  labelFeedbackString_->setMinimumSize(1, 1);
  labelFeedbackString_->setAttribute(Qt::WA_TranslucentBackground);

  labelNote1_ = new QLabel(panel_);
  labelNote1_->setObjectName("LabelNote1");
  labelNote1_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  labelNote1_->setWordWrap(true);
  labelNote1_->setAttribute(Qt::WA_TranslucentBackground);
  QFont noteFont("MS Sans Serif");
  noteFont.setStyleHint(QFont::SansSerif);
  labelNote1_->setFont(noteFont);
  QPalette red = labelNote1_->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  labelNote1_->setPalette(red);

  // Both labels fill the panel; the note lies over the symbol's lower edge.
  auto* grid = new QGridLayout(panel_);
  grid->addWidget(labelFeedbackString_, 0, 0);
  grid->addWidget(labelNote1_, 0, 0);
  setCentralWidget(panel_);

  QMenu* settings = menuBar()->addMenu("&Settings");
  settings->setObjectName("MenuSettings");
  QAction* font = settings->addAction("&Font...");
  font->setObjectName("MenuSettingsFont");
  QAction* close = settings->addAction("&Close");
  close->setObjectName("MenuSettingsClose");
  connect(font, &QAction::triggered, this, [this] { chooseFont(); });
  connect(close, &QAction::triggered, this, [this] { this->close(); });

  VisualFeedback& feedback = services_.playback.feedback;
  feedback.window.changed = [this] { refresh(); };
  feedback.segmentChanged = [this] { showSegment(); };
  refresh();
}

TFormVisualFeedbackWindow::~TFormVisualFeedbackWindow() {
  services_.playback.feedback.window.changed = nullptr;
  services_.playback.feedback.segmentChanged = nullptr;
}

QFont TFormVisualFeedbackWindow::symbolFont() {
  const FeedbackFont& chosen = services_.playback.feedback.font;
  const QString family = QString::fromStdString(chosen.name);
  // Looked up when the font changes, not for every segment.
  chosenFontInstalled_ = fontInstalled(family);
  QFont font(chosenFontInstalled_ ? family : QString(kFallbackSymbolFont));
  if (chosen.size > 0) {
    font.setPointSize(chosen.size);
  } else {
    font.setPixelSize(kSymbolPixels);
  }
  font.setBold(chosen.bold);
  font.setItalic(chosen.italic);
  font.setUnderline(chosen.underline);
  font.setStrikeOut(chosen.strikeOut);
  return font;
}

void TFormVisualFeedbackWindow::showSegment() {
  const VisualFeedback& feedback = services_.playback.feedback;
  labelFeedbackString_->setText(feedbackSymbolText(feedback.symbolCode, chosenFontInstalled_));
  QPalette palette = labelFeedbackString_->palette();
  palette.setColor(QPalette::WindowText, paletteColour(feedback.colour));
  labelFeedbackString_->setPalette(palette);
  labelNote1_->setText(QString::fromStdString(feedback.note));
  // At once, not at the next pass of the event loop: the symbol belongs to the sound.
  if (isVisible()) labelFeedbackString_->repaint();
}

void TFormVisualFeedbackWindow::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  labelFeedbackString_->setFont(symbolFont());
  showSegment();
  const bool visible = services_.playback.feedback.window.visible;
  if (visible != isVisible()) {
    if (visible) takeStoredPlace();
    setVisible(visible);
  }
  refreshing_ = false;
}

void TFormVisualFeedbackWindow::takeStoredPlace() {
  // The settings are read after this window is built, so the place is taken at each show.
  const VisualFeedback& feedback = services_.playback.feedback;
  resize(feedback.width, feedback.height + menuBar()->sizeHint().height());
  if (feedback.window.left >= 0 && feedback.window.top >= 0)
    move(feedback.window.left, feedback.window.top);
  WindowSettings::keepOnScreen(this);
}

void TFormVisualFeedbackWindow::chooseFont() {
  if (!chooseFont_) return;
  const QFont start = dialogStartFont(labelFeedbackString_->font());
  const std::optional<QFont> font = chooseFont_(start);
  // OK without a change keeps the stored font as it is, even one this machine lacks.
  if (!font || sameChoice(*font, start)) return;
  FeedbackFont& chosen = services_.playback.feedback.font;
  chosen.name = font->family().toStdString();
  chosen.size = font->pointSize() > 0 ? font->pointSize() : 0;
  chosen.bold = font->bold();
  chosen.italic = font->italic();
  chosen.underline = font->underline();
  chosen.strikeOut = font->strikeOut();
  labelFeedbackString_->setFont(symbolFont());
  showSegment();
}

void TFormVisualFeedbackWindow::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (!refreshing_) services_.playback.feedback.window.closedByUser(controller_.mainWindowOpen);
}

void TFormVisualFeedbackWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  // Placing at show time is not a move by the user; it would store the frame's offset.
  if (refreshing_) return;
  services_.playback.feedback.window.left = x();
  services_.playback.feedback.window.top = y();
}

void TFormVisualFeedbackWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (refreshing_) return;
  // The client size, without the menu bar.
  services_.playback.feedback.width = width();
  services_.playback.feedback.height = height() - menuBar()->sizeHint().height();
}

}  // namespace voxloom
