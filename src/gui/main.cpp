#include <QAction>
#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "core/app/main_controller.h"
#include "core/app/recovery.h"
#include "core/session/system_clock.h"
#include "core/settings/settings_location.h"
#include "gui/form_about.h"
#include "gui/form_auto_cut.h"
#include "gui/form_echo.h"
#include "gui/form_fractal.h"
#include "gui/form_input_string.h"
#include "gui/form_main.h"
#include "gui/form_manual_random.h"
#include "gui/form_parallel_port.h"
#include "gui/form_rec_level.h"
#include "gui/form_rec_param.h"
#include "gui/form_settings.h"
#include "gui/form_write_rn.h"
#include "gui/window_settings.h"
#include "platform/http/qt_http_client.h"
#include "platform/linux/char_device.h"
#include "platform/linux/ppdev_port_driver.h"
#include "platform/qt_event_loop.h"
#include "platform/qt_prompter.h"
#include "platform/qt_shell.h"
#include "platform/qt_signal_watcher.h"
#include "platform/qt_timer.h"
#include "platform/sdl/sdl_audio_system.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/sdl/sdl_wave_out.h"

namespace {

// --help and --version print to stdout and end the program.
bool answeredOnStdout(const voxloom::WindowArguments& parsed) {
  if (!parsed.error.empty()) return false;
  if (parsed.help) {
    std::cout << voxloom::windowUsageText();
  } else if (parsed.version) {
    std::cout << "voxloom " << VOXLOOM_VERSION << "\n";
  } else {
    return false;
  }
  std::cout.flush();
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before Qt starts when they come first, so they work without a display.
  if (answeredOnStdout(voxloom::parseWindowArguments({argv + 1, argv + argc}))) return 0;
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
  if (answeredOnStdout(parsed)) return 0;  // after Qt's own options

  voxloom::QtPrompter prompter;
  voxloom::QtShell shell;
  // The playback device outlives the window, whose engine queues buffers on it.
  voxloom::QtEventLoop eventLoop;
  voxloom::SdlWaveOut waveOut(eventLoop);
  voxloom::QtOneShotTimer timerRandomPlay;
  voxloom::SdlWaveIn waveIn(eventLoop);  // recording
  voxloom::QtOneShotTimer timerLevelDecay;
  voxloom::SdlWaveIn liveIn(eventLoop);  // live source
  const auto http = voxloom::makeQtHttpClient();
  voxloom::TFormMain formMain(prompter, shell);
  formMain.controller().playback.random.http = http.get();
  formMain.controller().recoveryFolder =
      voxloom::defaultRecoveryFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
  // SIGTERM, SIGINT and SIGHUP end the program as closing it does, minus the questions:
  // unsaved work is kept as recovery copies for the next start.
  bool ending = false;
  voxloom::QtSignalWatcher signalWatcher([&formMain, &ending](int signalNumber) {
    if (ending) return;
    ending = true;
    if (!formMain.controller().endBySignal())
      std::cerr << "voxloom: the recovery copies could not all be written to "
                << formMain.controller().recoveryFolder << "\n";
    QCoreApplication::exit(128 + signalNumber);
  });
  formMain.controller().attachPlayback(waveOut, eventLoop, &timerRandomPlay);
  formMain.controller().attachRecording(waveIn, eventLoop, &timerLevelDecay);
  formMain.controller().attachLive(liveIn, eventLoop);
  if (parsed.seed) formMain.controller().seedRandom(*parsed.seed);
  // The parallel-port source: the driver is looked for and the ports probed once.
  voxloom::PpdevPortDriver portDriver;
  voxloom::SystemClock steadyClock;
  voxloom::ParallelPortSource& parallelPort = formMain.controller().playback.random.parallelPort;
  parallelPort.driver = &portDriver;
  parallelPort.clock = &steadyClock;
  parallelPort.loop = &eventLoop;
  parallelPort.loadAndProbe();
  voxloom::CharDevice charDevice;
  voxloom::DeviceSource& deviceSource = formMain.controller().playback.random.device;
  deviceSource.device = &charDevice;
  deviceSource.loop = &eventLoop;
  voxloom::TFormAbout formAbout(&formMain);
  voxloom::TFormEcho formEcho(&formMain);
  voxloom::TFormRecParam formRecParam(&formMain);
  formMain.setAboutForm(&formAbout);
  voxloom::TFormRecLevel formRecLevel(&formMain);
  formRecLevel.bindMeter(&formMain.controller().recording.level);
  voxloom::TFormAutoCut formAutoCut(&formMain);
  voxloom::TFormFractal formFractal(&formMain);
  voxloom::TFormInputString formInputString(&formMain);
  voxloom::TFormManualRandom formManualRandom(&formMain);
  voxloom::TFormWriteRN formWriteRN(&formMain);
  voxloom::TFormParallelPort formParallelPort(&formMain);
  // Settings: the device lists are filled before the file is read at the first show.
  voxloom::MainController& controller = formMain.controller();
  controller.settingsPath =
      parsed.settingsPath
          ? *parsed.settingsPath
          : voxloom::settingsFilePath(QCoreApplication::applicationDirPath().toStdString());
  {
    const voxloom::SdlAudioSystem audio;
    controller.devices.fillDeviceLists(voxloom::sdlDeviceNames(false),
                                       voxloom::sdlDeviceNames(true));
  }
  voxloom::WindowSettings windowSettings(&formMain, &formRecLevel);
  windowSettings.bind(controller.settings);
  voxloom::WindowSettings::bindManualWindow(controller.settings, &formManualRandom);
  voxloom::TFormSettings formSettings(controller, &formMain);
  QObject::connect(formMain.findChild<QAction*>("MenuExtrasSettings"), &QAction::triggered,
                   &formSettings, &QDialog::exec);
  formMain.setStartupFiles(parsed.files);
  formMain.show();
  return app.exec();
}
