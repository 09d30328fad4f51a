#include <QApplication>
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "core/app/main_controller.h"
#include "core/session/system_clock.h"
#include "gui/form_about.h"
#include "gui/form_auto_cut.h"
#include "gui/form_echo.h"
#include "gui/form_main.h"
#include "gui/form_parallel_port.h"
#include "gui/form_rec_level.h"
#include "gui/form_rec_param.h"
#include "gui/form_write_rn.h"
#include "platform/linux/ppdev_port_driver.h"
#include "platform/qt_event_loop.h"
#include "platform/qt_prompter.h"
#include "platform/qt_shell.h"
#include "platform/qt_timer.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/sdl/sdl_wave_out.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Voxloom");
  // Qt has taken the locale from the environment; numbers are written with "." anyway.
  std::setlocale(LC_NUMERIC, "C");

  // QApplication has removed its own options from argv by now.
  std::vector<std::string> args(argv + 1, argv + argc);
  const voxloom::WindowArguments parsed = voxloom::parseWindowArguments(args);
  if (!parsed.error.empty()) {
    std::cerr << "voxloom: " << parsed.error << "\n";
    return 2;
  }

  voxloom::QtPrompter prompter;
  voxloom::QtShell shell;
  // The playback device outlives the window, whose engine queues buffers on it.
  voxloom::QtEventLoop eventLoop;
  voxloom::SdlWaveOut waveOut(eventLoop);
  voxloom::QtOneShotTimer timerRandomPlay;
  voxloom::SdlWaveIn waveIn(eventLoop);  // recording
  voxloom::QtOneShotTimer timerLevelDecay;
  voxloom::TFormMain formMain(prompter, shell);
  formMain.controller().attachPlayback(waveOut, eventLoop, &timerRandomPlay);
  formMain.controller().attachRecording(waveIn, eventLoop, &timerLevelDecay);
  if (parsed.seed) formMain.controller().seedRandom(*parsed.seed);
  // The parallel-port source: the driver is looked for and the ports probed once.
  voxloom::PpdevPortDriver portDriver;
  voxloom::SystemClock steadyClock;
  voxloom::ParallelPortSource& parallelPort = formMain.controller().playback.random.parallelPort;
  parallelPort.driver = &portDriver;
  parallelPort.clock = &steadyClock;
  parallelPort.loop = &eventLoop;
  parallelPort.loadAndProbe();
  voxloom::TFormAbout formAbout(&formMain);
  voxloom::TFormEcho formEcho(&formMain);
  voxloom::TFormRecParam formRecParam(&formMain);
  formMain.setAboutForm(&formAbout);
  voxloom::TFormRecLevel formRecLevel(&formMain);
  formRecLevel.bindMeter(&formMain.controller().recording.level);
  voxloom::TFormAutoCut formAutoCut(&formMain);
  voxloom::TFormWriteRN formWriteRN(&formMain);
  voxloom::TFormParallelPort formParallelPort(&formMain);
  formMain.setStartupFiles(parsed.files);
  formMain.show();
  return app.exec();
}
