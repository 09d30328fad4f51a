// Start-up of the main window on the demo recording: from creating the windows to the
// first show with the document loaded, against the floor of showing an empty window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <chrono>

#include "gui/form_about.h"
#include "gui/form_main.h"
#include "gui/window_settings.h"
#include "platform/qt_prompter.h"
#include "platform/qt_shell.h"

namespace {

using Clock = std::chrono::steady_clock;

double showEmptyWindow() {
  const auto start = Clock::now();
  QMainWindow window;
  window.show();
  QApplication::processEvents();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_StartUpWithDemo(benchmark::State& state) {
  const std::string demo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";
  double ours = 0, floor = 0;
  for (auto _ : state) {
    floor += showEmptyWindow();
    const auto start = Clock::now();
    voxloom::QtPrompter prompter;
    voxloom::QtShell shell;
    voxloom::NoQuestionPrompt questions;
    voxloom::WindowCore core(prompter, shell, questions);
    voxloom::TFormMain form(core.presenter);
    voxloom::TFormAbout about(&form);
    form.setAboutForm(&about);
    form.setStartupFiles({demo});
    form.show();
    QApplication::processEvents();
    const double t = std::chrono::duration<double>(Clock::now() - start).count();
    if (!form.services().document.document.isLoaded) state.SkipWithError("the demo did not load");
    ours += t;
    state.SetIterationTime(t);
  }
  state.counters["empty_window_ms"] = floor / state.iterations() * 1e3;
  state.counters["ratio_to_empty_window"] = ours / floor;
  state.counters["budget_ms"] = 1000;
}
BENCHMARK(BM_StartUpWithDemo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The same start-up reading a settings file that holds every key (and a URL list), as
// the window program does; the difference to the run above is what the settings cost.
void BM_StartUpWithDemoAndSettings(benchmark::State& state) {
  const std::string demo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";
  const std::string ini = "/tmp/voxloom_startup_bench.ini";
  {
    voxloom::Settings full;
    std::vector<std::string> urls(20, "https://example.org/?n=%num%");
    full.bindUrlList(urls);
    if (!full.save(ini)) state.SkipWithError("cannot write the settings file");
  }
  double ours = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    voxloom::QtPrompter prompter;
    voxloom::QtShell shell;
    voxloom::NoQuestionPrompt questions;
    voxloom::WindowCore core(prompter, shell, questions);
    voxloom::TFormMain form(core.presenter);
    voxloom::TFormAbout about(&form);
    QWidget level;
    form.setAboutForm(&about);
    form.services().settings.path = ini;
    voxloom::WindowSettings windows(&form, &level);
    windows.bind(form.services().settings.settings);
    form.setStartupFiles({demo});
    form.show();
    QApplication::processEvents();
    const double t = std::chrono::duration<double>(Clock::now() - start).count();
    if (!form.services().document.document.isLoaded) state.SkipWithError("the demo did not load");
    ours += t;
    state.SetIterationTime(t);
  }
  state.counters["budget_added_ms"] = 20;
}
BENCHMARK(BM_StartUpWithDemoAndSettings)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
