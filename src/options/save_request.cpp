#include "base/app_messages.h"
#include "options/options_window.h"

// The main loop clears SavePending when it takes MsgSaveSettings, so at most
// one save request waits in its queue however many controls change in a row.
void RequestSave() { PostOnce(MainWindow.load(), MsgSaveSettings, SavePending); }
