// The program's own code: the event handlers of the main window and the description window.
// They keep no state: everything they know is read from control properties each time.
#pragma once

#include "services/audio/audio_service.h"
#include "services/power.h"
#include "ui/window_layer.h"

namespace autoshutdown::logic {

// Binds every handler of both window templates in `layer`. The services and the layer must
// outlive every window loaded from the templates.
void BindHandlers(ui::WindowLayer& layer, PowerService& power, AudioService& audio);

}  // namespace autoshutdown::logic
