#include "app/log_off.h"

#include "app/mouse_speed.h"
#include "base/app_messages.h"
#include "platform/window_messages.h"
#include "settings/self_start.h"

void LogOffHandling() {
    RegisterAutostart();
    SetSlowMouse(false);
    platform::Messages.post(MainWindow.load(), WmQuit, 0, 0);
}
