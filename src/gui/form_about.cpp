#include "gui/form_about.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QtMath>

namespace voxloom {

namespace {

// A few speech-like bursts of a waveform, drawn instead of shipping an image file.
class WavePicture : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setRenderHint(QPainter::Antialiasing);
    const double mid = height() * 0.62;
    const double amplitude = height() * 0.22;
    QPainterPath path;
    path.moveTo(0, mid);
    for (int x = 0; x < width(); ++x) {
      const double t = static_cast<double>(x) / width();
      // Envelope of five syllables, each a raised-sine bump.
      const double bump = qMax(0.0, qSin(t * 5.0 * M_PI));
      const double envelope = bump * bump * (0.6 + 0.4 * qSin(t * 13.0));
      const double carrier = qSin(x * 0.55) * 0.7 + qSin(x * 1.37) * 0.3;
      path.lineTo(x, mid - amplitude * envelope * carrier);
    }
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0.0, QColor(0, 120, 80));
    gradient.setColorAt(0.5, QColor(80, 230, 160));
    gradient.setColorAt(1.0, QColor(0, 120, 80));
    p.setPen(QPen(QBrush(gradient), 1.4));
    p.drawPath(path);
    p.setPen(QColor(40, 40, 40));
    p.drawLine(0, static_cast<int>(mid), width(), static_cast<int>(mid));
  }
};

QLabel* makeLabel(const QString& text, const QString& name, const QColor& colour, int pointSize,
                  bool bold, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  QFont font = label->font();
  font.setPointSize(pointSize);
  font.setBold(bold);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  return label;
}

}  // namespace

QPoint centredOver(const QRect& owner, const QSize& box) {
  // C++ integer division truncates toward zero, as the placement rule wants.
  return {owner.left() + (owner.width() - box.width()) / 2,
          owner.top() + (owner.height() - box.height()) / 2};
}

TFormAbout::TFormAbout(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("FormAbout");
  setWindowTitle("About Voxloom");
  setModal(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);

  auto* picture = new WavePicture(this);
  picture->setObjectName("ImageAbout");
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(picture);

  auto* nameRow = new QHBoxLayout;
  nameRow->setSpacing(0);
  nameRow->addStretch();
  nameRow->addWidget(makeLabel("Vox", "LabelName1", QColor(230, 230, 230), 28, true, picture));
  nameRow->addWidget(makeLabel("loom", "LabelName2", QColor(80, 230, 160), 28, false, picture));
  nameRow->addStretch();

  labelVersion_ = makeLabel("Version", "LabelVersion", QColor(200, 200, 200), 10, false, picture);
  QLabel* freeware =
      makeLabel("Freeware", "LabelFreeware", QColor(255, 200, 60), 10, true, picture);

  auto* grid = new QGridLayout(picture);
  grid->setContentsMargins(16, 12, 16, 12);
  grid->addLayout(nameRow, 0, 0, 1, 2);
  grid->setRowStretch(1, 1);
  grid->addWidget(labelVersion_, 2, 0, Qt::AlignLeft | Qt::AlignBottom);
  grid->addWidget(freeware, 2, 1, Qt::AlignRight | Qt::AlignBottom);

  picture->installEventFilter(this);
  for (QLabel* label : picture->findChildren<QLabel*>()) label->installEventFilter(this);
  setFixedSize(360, 200);
}

void TFormAbout::applyVersion(const QString& version) {
  labelVersion_->setText(labelVersion_->text() + " " + version);
}

void TFormAbout::showEvent(QShowEvent* event) {
  if (QWidget* owner = parentWidget())
    move(centredOver(owner->frameGeometry(), frameGeometry().size()));
  QDialog::showEvent(event);
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    accept();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace voxloom
