#include "gui/form_listen.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"

namespace voxloom {

TFormListen::TFormListen(QWidget* owner) : QDialog(owner) {
  setObjectName("FormListen");
  setWindowTitle("Machine listener");
  onDocument_ = new QRadioButton("The &WAV file", this);
  onDocument_->setObjectName("RadioListenDocument");
  onRecord_ = new QRadioButton(this);
  onRecord_->setObjectName("RadioListenRecord");
  wordList_ = new QLineEdit(this);
  wordList_->setObjectName("EditListenWordList");
  wordList_->setPlaceholderText("Every word (no list)");
  wordList_->setToolTip("Only the words or phrases of this file are listened for, one a line");
  auto* browse = new QToolButton(this);
  browse->setObjectName("ButtonListenWordList");
  browse->setText("...");
  connect(browse, &QToolButton::clicked, this, [this] {
    const QString file = QFileDialog::getOpenFileName(this, "Word list", wordList_->text(),
                                                      "Text files (*.txt);;All files (*)");
    if (!file.isEmpty()) wordList_->setText(file);
  });
  minConfidence_ = new QSpinBox(this);
  minConfidence_->setObjectName("SpinListenMinConfidence");
  minConfidence_->setRange(0, 100);
  minConfidence_->setSuffix(" %");

  auto* listRow = new QHBoxLayout;
  listRow->addWidget(wordList_, 1);
  listRow->addWidget(browse);
  auto* form = new QFormLayout;
  auto* target = new QVBoxLayout;
  target->addWidget(onDocument_);
  target->addWidget(onRecord_);
  form->addRow("Listen to:", target);
  auto* listLabel = new QLabel("Word &list:", this);
  listLabel->setBuddy(wordList_);
  form->addRow(listLabel, listRow);
  form->addRow("Least &confidence:", minConfidence_);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addLayout(makeOkCancelRow(this, "&Listen"));
  resize(420, sizeHint().height());
}

bool TFormListen::ask(ListenChoices& choices, const std::string& recordText) {
  onRecord_->setVisible(!recordText.empty());
  onRecord_->setText("The &current session record (" + QString::fromStdString(recordText) + ")");
  (choices.onRecord && !recordText.empty() ? onRecord_ : onDocument_)->setChecked(true);
  wordList_->setText(QString::fromStdString(choices.wordListPath));
  minConfidence_->setValue(choices.minConfidencePercent);
  if (exec() != QDialog::Accepted) return false;
  choices.onRecord = onRecord_->isChecked();
  choices.wordListPath = wordList_->text().trimmed().toStdString();
  choices.minConfidencePercent = minConfidence_->value();
  return true;
}

}  // namespace voxloom
