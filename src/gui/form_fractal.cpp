#include "gui/form_fractal.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/form_about.h"

namespace voxloom {

namespace {

QString qt(const std::string& s) {
  return QString::fromStdString(s);
}

QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& hint = {}) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setToolTip(hint);
  return edit;
}

QSlider* makeSlider(QWidget* parent, const char* name, int min, int max) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(name);
  slider->setRange(min, max);
  slider->setPageStep(1000);
  slider->setMinimumWidth(220);
  return slider;
}

QSpinBox* makeSpin(QWidget* parent, const char* name, int min, int max, int step) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(min, max);
  spin->setSingleStep(step);
  return spin;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

void setText(QLineEdit* edit, const std::string& text) {
  if (edit->text() == qt(text)) return;
  const QSignalBlocker quiet(edit);
  edit->setText(qt(text));
}

}  // namespace

void FractalImage::mousePressEvent(QMouseEvent* event) {
  if (clicked) clicked(event->position().toPoint(), event->button());
}

TFormFractal::TFormFractal(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("FormFractal");
  setWindowTitle("Fractal formula");
  setModal(true);

  auto* tabs = new QTabWidget(this);
  auto* page = new QWidget(tabs);
  tabs->addTab(page, "Verhulst");

  auto* equation = new QLabel("Growth Equation    f(x) = r \u00b7 x \u00b7 (1 - x)", page);
  editGrowth_ = makeEdit(page, "EditFracGrowthConstant", "\"r\" parameter (\"growth\" constant)");
  editPopulation_ = makeEdit(page, "EditFracInitPopulation", "\"x\" parameter (\"population\")");
  trackGrowth_ =
      makeSlider(page, "TrackBarGrowthConstant", FractalForm::kGrowthMin, FractalForm::kGrowthMax);
  trackPopulation_ = makeSlider(page, "TrackBarInitPopulation", FractalForm::kPopulationMin,
                                FractalForm::kPopulationMax);
  auto* randomGrowth = makeButton(page, "ButtonGrowthConstant", "Random");
  auto* randomPopulation = makeButton(page, "ButtonInitPopulation", "Random");
  auto* iterate = makeButton(page, "ButtonIterate", "Iterate!");

  auto* parameters = new QGridLayout;
  parameters->addWidget(new QLabel("r:", page), 0, 0);
  parameters->addWidget(editGrowth_, 0, 1);
  parameters->addWidget(trackGrowth_, 0, 2);
  parameters->addWidget(randomGrowth, 0, 3);
  parameters->addWidget(new QLabel("x:", page), 1, 0);
  parameters->addWidget(editPopulation_, 1, 1);
  parameters->addWidget(trackPopulation_, 1, 2);
  parameters->addWidget(randomPopulation, 1, 3);
  parameters->addWidget(iterate, 1, 4);

  editRMin_ = makeEdit(page, "EditrMin");
  editRMax_ = makeEdit(page, "EditrMax");
  editXMin_ = makeEdit(page, "EditxMin");
  editXMax_ = makeEdit(page, "EditxMax");
  editXStart_ = makeEdit(page, "EditxStart");
  spinIterations_ = makeSpin(page, "EditnIterations", 1, 100000, 10);
  spinInvisible_ = makeSpin(page, "EditnInvisible", 0, 100000, 10);
  spinColors_ = makeSpin(page, "EditnColors", 1, 255, 1);
  checkR_ = new QCheckBox("R", page);
  checkR_->setObjectName("CheckBoxR");
  checkR_->setToolTip("Red");
  checkG_ = new QCheckBox("G", page);
  checkG_->setObjectName("CheckBoxG");
  checkG_->setToolTip("Green");
  checkB_ = new QCheckBox("B", page);
  checkB_->setObjectName("CheckBoxB");
  checkB_->setToolTip("Blue");
  auto* draw = makeButton(page, "ButtonDraw", "Draw");
  auto* reset = makeButton(page, "ButtonReset", "Reset");

  auto* ranges = new QFormLayout;
  ranges->addRow("r min", editRMin_);
  ranges->addRow("r max", editRMax_);
  ranges->addRow("x min", editXMin_);
  ranges->addRow("x max", editXMax_);
  ranges->addRow("x start", editXStart_);
  ranges->addRow("Iterations", spinIterations_);
  ranges->addRow("Invisible", spinInvisible_);
  ranges->addRow("Colors", spinColors_);
  auto* channels = new QHBoxLayout;
  channels->addWidget(checkR_);
  channels->addWidget(checkG_);
  channels->addWidget(checkB_);
  ranges->addRow(channels);
  auto* drawRow = new QHBoxLayout;
  drawRow->addWidget(draw);
  drawRow->addWidget(reset);
  ranges->addRow(drawRow);

  image_ = new FractalImage(page);
  image_->setObjectName("ImageFractal");
  image_->setFixedSize(FractalForm::kImageSize, FractalForm::kImageSize);
  image_->setCursor(Qt::CrossCursor);
  auto* hint = new QLabel("Left-click: Graphics values, Right-click: Random source", page);

  auto* diagram = new QHBoxLayout;
  diagram->addWidget(image_);
  diagram->addLayout(ranges);
  auto* pageColumn = new QVBoxLayout(page);
  pageColumn->addWidget(equation);
  pageColumn->addLayout(parameters);
  pageColumn->addLayout(diagram);
  pageColumn->addWidget(hint);

  QHBoxLayout* buttons = makeOkCancelRow(this);
  auto* apply = makeButton(this, "ButtonApply", "&Apply");
  buttons->addWidget(apply);
  auto* column = new QVBoxLayout(this);
  column->addWidget(tabs);
  column->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  // Every handler does nothing until a form is bound.
  auto withForm = [this](auto handler) {
    // The return type lets Qt find the argument count the handler takes.
    return [this, handler](auto... args) -> decltype(handler(args...), void()) {
      if (form_ == nullptr) return;
      handler(args...);
      refresh();
    };
  };
  connect(editGrowth_, &QLineEdit::textEdited, this,
          withForm([this](const QString& t) { form_->growthEdited(t.toStdString()); }));
  connect(editPopulation_, &QLineEdit::textEdited, this,
          withForm([this](const QString& t) { form_->populationEdited(t.toStdString()); }));
  connect(trackGrowth_, &QSlider::valueChanged, this,
          withForm([this](int p) { form_->growthSliderMoved(p); }));
  connect(trackPopulation_, &QSlider::valueChanged, this,
          withForm([this](int p) { form_->populationSliderMoved(p); }));
  connect(randomGrowth, &QPushButton::clicked, this, withForm([this] { form_->randomGrowth(); }));
  connect(randomPopulation, &QPushButton::clicked, this,
          withForm([this] { form_->randomPopulation(); }));
  connect(iterate, &QPushButton::clicked, this, withForm([this] { form_->iterate(*prompter_); }));
  connect(apply, &QPushButton::clicked, this, withForm([this] { form_->apply(); }));
  connect(reset, &QPushButton::clicked, this, withForm([this] { form_->resetGraphValues(); }));
  connect(draw, &QPushButton::clicked, this, [this] { drawDiagram(); });
  const std::pair<QLineEdit*, std::string FractalForm::*> rangeEdits[] = {
      {editRMin_, &FractalForm::rMinText},
      {editRMax_, &FractalForm::rMaxText},
      {editXMin_, &FractalForm::xMinText},
      {editXMax_, &FractalForm::xMaxText},
      {editXStart_, &FractalForm::xStartText}};
  for (const auto& [edit, text] : rangeEdits) {
    connect(edit, &QLineEdit::textEdited, this, [this, text](const QString& t) {
      if (form_ != nullptr) form_->*text = t.toStdString();
    });
  }
  const std::pair<QSpinBox*, int FractalForm::*> spins[] = {
      {spinIterations_, &FractalForm::iterations},
      {spinInvisible_, &FractalForm::invisible},
      {spinColors_, &FractalForm::colors}};
  for (const auto& [spin, value] : spins) {
    connect(spin, &QSpinBox::valueChanged, this, [this, value](int v) {
      if (form_ != nullptr) form_->*value = v;
    });
  }
  const std::pair<QCheckBox*, bool FractalForm::*> checks[] = {
      {checkR_, &FractalForm::red}, {checkG_, &FractalForm::green}, {checkB_, &FractalForm::blue}};
  for (const auto& [box, flag] : checks) {
    connect(box, &QCheckBox::toggled, this, [this, flag](bool on) {
      if (form_ != nullptr) form_->*flag = on;
    });
  }
  image_->clicked = [this](QPoint at, Qt::MouseButton button) {
    if (form_ == nullptr) return;
    const FractalForm::Button which = button == Qt::LeftButton    ? FractalForm::Button::Left
                                      : button == Qt::RightButton ? FractalForm::Button::Right
                                                                  : FractalForm::Button::Middle;
    form_->click(at.x(), at.y(), which, *prompter_);
    refresh();
  };
  QImage black(FractalForm::kImageSize, FractalForm::kImageSize, QImage::Format_RGB32);
  black.fill(Qt::black);
  image_->setPixmap(QPixmap::fromImage(black));
}

void TFormFractal::bind(FractalForm* form, Prompter* prompter) {
  form_ = form;
  prompter_ = prompter;
  refresh();
}

void TFormFractal::refresh() {
  if (form_ == nullptr) return;
  setText(editGrowth_, form_->growthText);
  setText(editPopulation_, form_->populationText);
  setText(editRMin_, form_->rMinText);
  setText(editRMax_, form_->rMaxText);
  setText(editXMin_, form_->xMinText);
  setText(editXMax_, form_->xMaxText);
  setText(editXStart_, form_->xStartText);
  const std::pair<QSlider*, int> sliders[] = {{trackGrowth_, form_->growthSlider},
                                              {trackPopulation_, form_->populationSlider}};
  for (const auto& [slider, position] : sliders) {
    const QSignalBlocker quiet(slider);
    slider->setValue(position);
  }
  const std::pair<QSpinBox*, int> spins[] = {{spinIterations_, form_->iterations},
                                             {spinInvisible_, form_->invisible},
                                             {spinColors_, form_->colors}};
  for (const auto& [spin, value] : spins) {
    const QSignalBlocker quiet(spin);
    spin->setValue(value);
  }
  const std::pair<QCheckBox*, bool> checks[] = {
      {checkR_, form_->red}, {checkG_, form_->green}, {checkB_, form_->blue}};
  for (const auto& [box, on] : checks) {
    const QSignalBlocker quiet(box);
    box->setChecked(on);
  }
}

void TFormFractal::refreshImage() {
  const PixelImage& picture = form_->image;
  // 0x00BBGGRR in memory is R, G, B, X on little-endian machines.
  const QImage view(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                    picture.height, picture.width * 4, QImage::Format_RGBX8888);
  image_->setPixmap(QPixmap::fromImage(view.copy()));
}

void TFormFractal::drawDiagram() {
  if (form_ == nullptr) return;
  int column = 0;
  const bool drawn = form_->draw(*prompter_, [this, &column] {
    // Show the progress now and then; the window repaints but takes no input meanwhile.
    if (++column % 25 != 0) return;
    refreshImage();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  });
  if (drawn) refreshImage();
}

void TFormFractal::showEvent(QShowEvent* event) {
  if (QWidget* owner = parentWidget())
    move(centredOver(owner->frameGeometry(), frameGeometry().size()));
  QDialog::showEvent(event);
  if (form_ == nullptr) return;
  const bool first = form_->show();
  refresh();
  refreshImage();
  // Drawn once the window is on screen, so the columns can be seen coming in.
  if (first) QTimer::singleShot(0, this, [this] { drawDiagram(); });
}

}  // namespace voxloom
