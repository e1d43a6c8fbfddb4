#include <windows.h>

#include <commctrl.h>

#include "options/options_frame_win.h"

// The tab strip, the numeric fields' arrows and the sliders come from the
// common-controls library, whose classes must exist before the dialog
// templates that name them are created.
void RegisterOptionsControls() {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
}
