#include <QAction>
#include <QApplication>
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "core/app/main_controller.h"
#include "core/settings/settings_location.h"
#include "gui/form_about.h"
#include "gui/form_auto_cut.h"
#include "gui/form_echo.h"
#include "gui/form_main.h"
#include "gui/form_rec_level.h"
#include "gui/form_rec_param.h"
#include "gui/form_settings.h"
#include "gui/window_settings.h"
#include "platform/qt_event_loop.h"
#include "platform/qt_prompter.h"
#include "platform/qt_shell.h"
#include "platform/qt_timer.h"
#include "platform/sdl/sdl_audio_system.h"
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
  voxloom::TFormAbout formAbout(&formMain);
  voxloom::TFormEcho formEcho(&formMain);
  voxloom::TFormRecParam formRecParam(&formMain);
  formMain.setAboutForm(&formAbout);
  voxloom::TFormRecLevel formRecLevel(&formMain);
  formRecLevel.bindMeter(&formMain.controller().recording.level);
  voxloom::TFormAutoCut formAutoCut(&formMain);
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
  voxloom::TFormSettings formSettings(controller, &formMain);
  QObject::connect(formMain.findChild<QAction*>("MenuExtrasSettings"), &QAction::triggered,
                   &formSettings, &QDialog::exec);
  formMain.setStartupFiles(parsed.files);
  formMain.show();
  return app.exec();
}
