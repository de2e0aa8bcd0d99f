// The Linux program: the Qt backend, logind power actions and PulseAudio sound under the
// portable program. The command line is not read (Qt's own options aside).
#include <QApplication>

#include "app/program.h"
#include "services/audio/audio_service.h"
#include "services/power.h"
#include "ui/qt/qt_backend.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("autoshutdown"));
  QApplication::setDesktopFileName(QStringLiteral("autoshutdown"));
  autoshutdown::ui::qt::QtBackend backend;
  const auto power = autoshutdown::CreatePlatformPowerService();
  const auto audio = autoshutdown::CreatePlatformAudioService();
  return autoshutdown::app::RunProgram(backend, *power, *audio);
}
