#include "gui/status_panels.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace voxloom {

void keepWholeText(QLabel* panel, int narrowest) {
  panel->setMinimumWidth(std::max(narrowest, panel->sizeHint().width()));
}

void CompactLabel::setWholeText(const QString& whole) {
  if (whole == text()) return;
  const qsizetype colon = whole.indexOf(QStringLiteral(": "));
  shorter_ = colon < 0 ? whole : whole.mid(colon + 2);
  setText(whole);
  updateTip();
}

QString CompactLabel::shownText() const {
  const QFontMetrics metrics = fontMetrics();
  const int room = textRect().width();
  if (metrics.horizontalAdvance(text()) <= room) return text();
  if (metrics.horizontalAdvance(shorter_) <= room) return shorter_;
  return metrics.elidedText(shorter_, Qt::ElideRight, std::max(room, 0));
}

QSize CompactLabel::minimumSizeHint() const {
  // Room for a few letters of the name and the ellipsis.
  QSize hint = sizeHint();
  const QFontMetrics metrics = fontMetrics();
  hint.rwidth() += metrics.horizontalAdvance(shorter_.left(3) + QChar(0x2026)) -
                   metrics.horizontalAdvance(text());
  return hint;
}

QRect CompactLabel::textRect() const {
  // QLabel's own rule: a framed label without an indent of its own indents by half an "x".
  int indentBy = indent();
  if (indentBy < 0)
    indentBy = frameWidth() > 0 ? fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0;
  return contentsRect().adjusted(margin() + indentBy, margin(), -margin(), -margin());
}

void CompactLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
  style()->drawItemText(&painter, textRect(), static_cast<int>(alignment()), palette(), isEnabled(),
                        shownText(), foregroundRole());
}

void CompactLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  updateTip();
}

void CompactLabel::updateTip() {
  setToolTip(shownText() == text() ? QString() : text());
}

}  // namespace voxloom
