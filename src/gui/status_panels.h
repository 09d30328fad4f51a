#pragma once

#include <QLabel>
#include <QString>

namespace voxloom {

// Lets a status-bar panel grow to its whole text, never narrower than `narrowest`: the
// bar then squeezes the panels that can give way instead.
void keepWholeText(QLabel* panel, int narrowest);

// A status-bar panel that gives way when the bar is short of room: it drops the prefix
// of its text first ("Source: "), then elides the rest, and its tip holds the whole text.
// text() and the size hint stay those of the whole text.
class CompactLabel : public QLabel {
 public:
  explicit CompactLabel(QWidget* parent = nullptr) : QLabel(parent) {}

  void setWholeText(const QString& whole);
  // What the panel shows at its present width.
  QString shownText() const;

  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The room for text inside the frame, margins and indent.
  QRect textRect() const;
  void updateTip();

  QString shorter_;  // the text without its prefix
};

}  // namespace voxloom
