#include <QAction>
#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/app/main_presenter.h"
#include "core/app/recovery.h"
#include "core/app/window_arguments.h"
#include "core/session/system_clock.h"
#include "core/settings/settings_location.h"
#include "gui/form_about.h"
#include "gui/form_auto_cut.h"
#include "gui/form_echo.h"
#include "gui/form_fractal.h"
#include "gui/form_input_string.h"
#include "gui/form_listen.h"
#include "gui/form_main.h"
#include "gui/form_manual_random.h"
#include "gui/form_parallel_port.h"
#include "gui/form_rec_level.h"
#include "gui/form_rec_param.h"
#include "gui/form_session_edit.h"
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
#include "platform/speech/speech_listener_factory.h"

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

// The window program in the order it is built: the devices, the services and the
// presenter, then the windows. Each part outlives the parts built after it: the engines
// queue buffers on the devices, and the windows show the services' state.
struct WindowProgram {
  explicit WindowProgram(const voxloom::WindowArguments& parsed);

  voxloom::QtPrompter prompter;
  voxloom::QtShell shell;
  voxloom::QtEventLoop eventLoop;
  voxloom::SdlWaveOut waveOut{eventLoop};
  voxloom::QtOneShotTimer timerRandomPlay;
  voxloom::SdlWaveIn waveIn{eventLoop};  // recording
  voxloom::QtOneShotTimer timerLevelDecay;
  voxloom::SdlWaveIn liveIn{eventLoop};  // live source
  std::unique_ptr<voxloom::HttpClient> http = voxloom::makeQtHttpClient();
  voxloom::PpdevPortDriver portDriver;
  voxloom::SystemClock steadyClock;
  voxloom::CharDevice charDevice;

  voxloom::SessionQuestion sessionQuestion;  // shown over the main window once it exists
  voxloom::WindowCore core{prompter, shell, sessionQuestion};

  voxloom::TFormMain formMain{core.presenter};
  voxloom::TFormAbout formAbout{&formMain};
  voxloom::TFormEcho formEcho{&formMain};
  voxloom::TFormRecParam formRecParam{&formMain};
  voxloom::TFormRecLevel formRecLevel{&formMain};
  voxloom::TFormAutoCut formAutoCut{&formMain};
  voxloom::TFormFractal formFractal{&formMain};
  voxloom::TFormInputString formInputString{&formMain};
  voxloom::TFormManualRandom formManualRandom{&formMain};
  voxloom::TFormWriteRN formWriteRN{&formMain};
  voxloom::TFormParallelPort formParallelPort{&formMain};
  voxloom::TFormListen formListen{&formMain};
  voxloom::WindowSettings windowSettings{&formMain, &formRecLevel};
};

WindowProgram::WindowProgram(const voxloom::WindowArguments& parsed) {
  voxloom::AppServices& services = core.services;
  voxloom::RandomSources& random = services.random.sources;
  random.http = http.get();
  core.presenter.recoveryFolder =
      voxloom::defaultRecoveryFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
  services.attachPlayback(waveOut, eventLoop, &timerRandomPlay);
  services.attachRecording(waveIn, eventLoop, &timerLevelDecay);
  services.attachLive(liveIn, eventLoop);
  if (parsed.seed) services.random.seed(*parsed.seed);
  // The parallel-port source: the driver is looked for and the ports probed once.
  random.parallelPort.driver = &portDriver;
  random.parallelPort.clock = &steadyClock;
  random.parallelPort.loop = &eventLoop;
  random.parallelPort.loadAndProbe();
  random.device.device = &charDevice;
  random.device.loop = &eventLoop;
  // The listener's model is loaded once, at start-up; without it the item stays disabled
  // and its tip says why.
  {
    std::string whyNone;
    services.listener.setFactory(voxloom::makeSpeechListenerFactory("", whyNone), whyNone);
    services.listener.attach(eventLoop);
    services.listener.dialog = &formListen;
  }
  formMain.setAboutForm(&formAbout);
  sessionQuestion.showOver(&formMain);
  formRecLevel.bindMeter(&services.recording.engine.level);
  // Settings: the device lists are filled before the file is read at the first show.
  services.settings.path =
      parsed.settingsPath
          ? *parsed.settingsPath
          : voxloom::settingsFilePath(QCoreApplication::applicationDirPath().toStdString());
  {
    const voxloom::SdlAudioSystem audio;
    services.settings.devices.fillDeviceLists(voxloom::sdlDeviceNames(false),
                                              voxloom::sdlDeviceNames(true));
  }
  windowSettings.bind(services.settings.settings);
  voxloom::WindowSettings::bindManualWindow(services.settings.settings, &formManualRandom);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before Qt starts when they come first, so they work without a display.
  if (answeredOnStdout(voxloom::parseWindowArguments({argv + 1, argv + argc}))) return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName("Voxloom");
  // Desktops match the window to its desktop entry by this name.
  QGuiApplication::setDesktopFileName("io.github.voxloom.Voxloom");
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

  WindowProgram program(parsed);
  voxloom::TFormMain& formMain = program.formMain;
  // SIGTERM, SIGINT and SIGHUP end the program as closing it does, minus the questions:
  // unsaved work is kept as recovery copies for the next start.
  bool ending = false;
  voxloom::MainPresenter& presenter = program.core.presenter;
  voxloom::QtSignalWatcher signalWatcher([&presenter, &ending](int signalNumber) {
    if (ending) return;
    ending = true;
    if (!presenter.endBySignal())
      std::cerr << "voxloom: the recovery copies could not all be written to "
                << presenter.recoveryFolder << "\n";
    QCoreApplication::exit(128 + signalNumber);
  });
  // Made once the device lists are filled, which it shows.
  voxloom::TFormSettings formSettings(presenter, &formMain);
  QObject::connect(formMain.settingsAction(), &QAction::triggered, &formSettings, &QDialog::exec);
  formMain.setStartupFiles(parsed.files);
  formMain.show();
  return app.exec();
}
