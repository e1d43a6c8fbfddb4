// The program's own window messages, and the post-at-most-once rule by which
// the hooks announce key and pointer events to the main loop.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/types.h"

// Values in the private window-message range (WM_APP and above).
constexpr uint32_t MsgHotkeyEvent = 0x800E;      // key event for a capturing hotkey combo
constexpr uint32_t MsgKeyEvent = 0x800F;         // a binding's state changed: re-evaluate the ruler
constexpr uint32_t MsgPointerEvent = 0x8010;     // the pointer moved or a button changed
constexpr uint32_t MsgSaveSettings = 0x8011;     // save all settings (main loop)
constexpr uint32_t MsgUseHooksChanged = 0x8012;  // sent: wParam = new "usehooks"
constexpr uint32_t MsgRedrawRequest = 0x8058;    // to LineWindow: schedule a frame
constexpr uint32_t MsgCreateOptions = 0x806E;    // options frame procedure: create the dialog
constexpr uint32_t MsgLinkColor = 0x806F;        // to a link label: set its text colour
constexpr uint32_t MsgOptionsRefresh = 0x8070;   // to the options window: show the new angle
constexpr uint32_t MsgCopyMeasurement = 0x8071;  // the copy key was pressed (main loop)
constexpr uint32_t MsgTrayIcon = 0x8072;         // the notification-area icon's callback
constexpr uint32_t MsgEndSession = 0x8073;       // sent by an overlay window at WM_ENDSESSION (main thread)
constexpr uint32_t MsgPinMeasurement = 0x8080;   // the pin key was pressed (main loop)
constexpr uint32_t MsgClearPins = 0x8081;        // the pin key was held until it repeated (main loop)

constexpr uint32_t WmQuit = 18;
constexpr uint32_t WmEndSession = 22;

// lParam of the registered instance-request message.
constexpr intptr_t InstanceRequestExit = 1;
constexpr intptr_t InstanceRequestRestart = 2;

// The hidden window that receives the application messages (main thread).
extern std::atomic<WindowHandle> MainWindow;

// The registered id of "MeasurixWinMessageNr" (MsgInstanceRequest).
extern std::atomic<uint32_t> MsgInstanceRequest;

// Pending flags: 1 while a message of that kind is queued and not yet taken.
extern std::atomic<int32_t> KeyPending;
extern std::atomic<int32_t> PointerPending;
extern std::atomic<int32_t> SavePending;
extern std::atomic<int32_t> OptionsRefreshPending;
extern std::atomic<int32_t> CopyPending;
extern std::atomic<int32_t> PinPending;
extern std::atomic<int32_t> ClearPinsPending;

// Compare-exchanges flag 0 -> 1 and posts message (wParam 0, lParam 0) to window
// only when it was 0. Returns the old flag value when nothing was posted,
// otherwise whether the post succeeded (1) or failed (0). A failed post
// clears the flag again, so that a lost message cannot block later ones.
int32_t PostOnce(WindowHandle window, uint32_t message, std::atomic<int32_t>& flag);

// Exchange the flag with 0 and return the previous value. The main loop calls
// these first thing when it takes the message, so an event that arrives while
// the previous one is handled always causes exactly one new message.
int32_t ClearKeyPending();
int32_t ClearPointerPending();
