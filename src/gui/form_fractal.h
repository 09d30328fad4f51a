#pragma once

#include <QDialog>
#include <QLabel>
#include <functional>

#include "core/ports/prompter.h"
#include "core/random/fractal_form.h"

class QCheckBox;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace voxloom {

// ImageFractal: shows the diagram and reports clicks with their button.
class FractalImage : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void(QPoint, Qt::MouseButton)> clicked;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// "Fractal formula": r and x of the fractal source with their sliders, and the
// bifurcation diagram. A view of the FractalForm it is bound to, which holds the rules.
class TFormFractal : public QDialog {
  Q_OBJECT

 public:
  explicit TFormFractal(QWidget* owner = nullptr);

  // The state to show and change, and where messages go; kept until bound again.
  void bind(FractalForm* form, Prompter* prompter);
  FractalForm* form() const { return form_; }

  // Writes the whole state into the controls.
  void refresh();
  // ButtonDraw: draws, repainting while it runs.
  void drawDiagram();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void refreshImage();

  FractalForm* form_ = nullptr;
  Prompter* prompter_ = nullptr;
  QLineEdit* editGrowth_ = nullptr;
  QLineEdit* editPopulation_ = nullptr;
  QSlider* trackGrowth_ = nullptr;
  QSlider* trackPopulation_ = nullptr;
  QLineEdit* editRMin_ = nullptr;
  QLineEdit* editRMax_ = nullptr;
  QLineEdit* editXMin_ = nullptr;
  QLineEdit* editXMax_ = nullptr;
  QLineEdit* editXStart_ = nullptr;
  QSpinBox* spinIterations_ = nullptr;
  QSpinBox* spinInvisible_ = nullptr;
  QSpinBox* spinColors_ = nullptr;
  QCheckBox* checkR_ = nullptr;
  QCheckBox* checkG_ = nullptr;
  QCheckBox* checkB_ = nullptr;
  FractalImage* image_ = nullptr;
};

}  // namespace voxloom
