// Start-up and the message loop, the same on every platform. A platform's main() makes its
// backend and services and calls RunProgram; tests drive Start, the scripted user and Run.
#pragma once

#include "services/audio/audio_service.h"
#include "services/power.h"
#include "ui/backend.h"
#include "ui/window_layer.h"

namespace autoshutdown::app {

class Program {
 public:
  // Binds every handler; nothing is shown yet. The backend and the services must outlive it.
  Program(ui::Backend& backend, PowerService& power, AudioService& audio);

  // Prepares the user-interface thread and loads the main window (its created handler runs
  // inside, then it is shown centred). When it cannot be loaded, shows an error message and
  // returns false.
  bool Start();
  // Runs the message loop until the last window is gone; returns the exit code (0).
  int Run();

  ui::WindowLayer& layer() { return layer_; }

 private:
  ui::Backend& backend_;
  ui::WindowLayer layer_;
};

// The whole program: Start, then Run. Returns the process's exit code: 0 after a normal end,
// -1 when the main window could not be loaded.
int RunProgram(ui::Backend& backend, PowerService& power, AudioService& audio);

}  // namespace autoshutdown::app
