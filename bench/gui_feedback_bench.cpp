// Time from a block's start notification to its symbol painted in the visual feedback
// window: the notification is posted to the Qt event loop as the device's is, it calls
// showSegment, and the clock stops when the symbol label has painted. Prints the median
// and the worst of all iterations (budget 20 ms), beside the floor of repainting a plain
// label that changes its text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <vector>

#include "gui/form_main.h"
#include "gui/form_visual_feedback.h"
#include "platform/qt_prompter.h"
#include "platform/qt_shell.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

class PaintedLabel : public QLabel {
 public:
  using QLabel::QLabel;
  bool painted = false;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QLabel::paintEvent(event);
    painted = true;
  }
};

void BM_FeedbackSymbolRepaint(benchmark::State& state) {
  voxloom::QtPrompter prompter;
  voxloom::QtShell shell;
  voxloom::TFormMain form(prompter, shell);
  form.show();
  QApplication::processEvents();
  auto* window = form.findChild<voxloom::TFormVisualFeedbackWindow*>();
  voxloom::MainController& controller = form.controller();
  controller.toggleFeedbackWindow();
  QApplication::processEvents();
  bool painted = false;
  window->painted = [&] { painted = true; };

  PaintedLabel plain("A");
  QFont big = plain.font();
  big.setPixelSize(400);
  plain.setFont(big);
  plain.resize(558, 546);
  plain.show();
  QApplication::processEvents();

  std::vector<double> ours, floor;
  std::int32_t segment = 0;
  for (auto _ : state) {
    segment += 97;
    painted = false;
    const auto start = Clock::now();
    QTimer::singleShot(0, &form, [&] { controller.showSegment(segment); });
    while (!painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ours.push_back(ms);
    state.SetIterationTime(ms / 1e3);

    plain.painted = false;
    const auto plainStart = Clock::now();
    QTimer::singleShot(0, &plain, [&] { plain.setText(QString::number(segment)); });
    while (!plain.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
    floor.push_back(std::chrono::duration<double, std::milli>(Clock::now() - plainStart).count());
  }
  state.counters["median_ms"] = median(ours);
  state.counters["worst_ms"] = *std::max_element(ours.begin(), ours.end());
  state.counters["plain_label_median_ms"] = median(floor);
  state.counters["ratio_to_plain_label"] = median(ours) / std::max(median(floor), 1e-6);
  state.counters["budget_ms"] = 20;
}
BENCHMARK(BM_FeedbackSymbolRepaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
