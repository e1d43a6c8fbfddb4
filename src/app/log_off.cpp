#include "app/log_off.h"

#include "app/mouse_speed.h"
#include "app/ruler_control.h"
#include "base/app_messages.h"
#include "platform/window_messages.h"
#include "settings/self_start.h"
#include "settings/settings.h"

void LogOffHandling() {
    // The system may end the process once the notice has been answered,
    // before the main loop's final save.
    SaveHeldMove();
    RegisterAutostart();
    SetSlowMouse(false);
    platform::Messages.post(MainWindow.load(), WmQuit, 0, 0);
}

void EndByRequest(intptr_t request) {
    SaveHeldMove();
    if (request & InstanceRequestRestart) RestoreFlag = true;
}
