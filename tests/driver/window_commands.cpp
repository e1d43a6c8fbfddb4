// The commands that look at and drive other processes' windows.
#include "driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>

namespace {

constexpr UINT MessageTimeoutMs = 10000;

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, int(std::size(name)));
    return name;
}

bool IsClass(HWND window, const wchar_t* name) { return _wcsicmp(ClassOf(window).c_str(), name) == 0; }

// Sends with a deadline so that a hung or modal target cannot hang the driver.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* timedOut = nullptr) {
    DWORD_PTR result = 0;
    const LRESULT ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, MessageTimeoutMs, &result);
    if (timedOut) *timedOut = ok == 0;
    return LRESULT(result);
}

// The text a control would give its own process (WM_GETTEXT is marshalled
// between processes; GetWindowText of another process's control is not).
std::wstring TextOf(HWND window) {
    const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(size_t(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT got = SendWithTimeout(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    text.resize(size_t(std::clamp<LRESULT>(got, 0, LRESULT(text.size()))));
    return text;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[512] = {};
    GetWindowTextW(window, title, int(std::size(title)));
    return title;
}

// Memory inside the process that owns a window, for messages of the common
// controls that carry pointers (the system does not marshal those).
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (!process_) Fail("cannot open the window's process");
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!address_) {
            CloseHandle(process_);
            Fail("cannot allocate memory in the window's process");
        }
    }
    ~RemoteBuffer() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* Address() const { return static_cast<char*>(address_); }
    void Write(const void* data, size_t size, size_t offset = 0) {
        if (offset + size > size_ || !WriteProcessMemory(process_, Address() + offset, data, size, nullptr))
            Fail("cannot write the window's process memory");
    }
    void Read(void* data, size_t size, size_t offset = 0) {
        if (offset + size > size_ || !ReadProcessMemory(process_, Address() + offset, data, size, nullptr))
            Fail("cannot read the window's process memory");
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows([](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    }, LPARAM(&windows));
    return windows;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    }, LPARAM(&windows));
    return windows;
}

std::string DescribeTopLevel(HWND window) {
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(window, &pid);
    RECT rect{};
    GetWindowRect(window, &rect);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exstyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    return JsonObject()
        .Add("hwnd", window)
        .Add("title", TitleOf(window))
        .Add("class", ClassOf(window))
        .Add("pid", static_cast<long long>(pid))
        .Add("tid", static_cast<long long>(tid))
        .Add("visible", IsWindowVisible(window) != FALSE)
        .Add("iconic", IsIconic(window) != FALSE)
        .Add("enabled", IsWindowEnabled(window) != FALSE)
        .Add("topmost", (exstyle & WS_EX_TOPMOST) != 0)
        .Add("style", static_cast<long long>(static_cast<DWORD>(style)))
        .Add("exstyle", static_cast<long long>(static_cast<DWORD>(exstyle)))
        .Add("owner", GetWindow(window, GW_OWNER))
        .Add("rect", rect)
        .Text();
}

std::string TabItems(HWND tab) {
    const int count = int(SendWithTimeout(tab, TCM_GETITEMCOUNT, 0, 0));
    std::vector<std::string> labels;
    constexpr int TextChars = 256;
    RemoteBuffer buffer(tab, sizeof(TCITEMW) + TextChars * sizeof(wchar_t));
    for (int i = 0; i < count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(buffer.Address() + sizeof(TCITEMW));
        item.cchTextMax = TextChars;
        const wchar_t empty = L'\0';
        buffer.Write(&item, sizeof item);
        buffer.Write(&empty, sizeof empty, sizeof(TCITEMW));
        SendWithTimeout(tab, TCM_GETITEMW, WPARAM(i), LPARAM(buffer.Address()));
        wchar_t text[TextChars] = {};
        buffer.Read(text, sizeof text - sizeof(wchar_t), sizeof(TCITEMW));
        labels.push_back(JsonString(text));
    }
    return JsonArray(labels);
}

std::string ComboItems(HWND combo) {
    const int count = int(SendWithTimeout(combo, CB_GETCOUNT, 0, 0));
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendWithTimeout(combo, CB_GETLBTEXTLEN, WPARAM(i), 0);
        std::wstring text(size_t(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const LRESULT got = SendWithTimeout(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text.data()));
        text.resize(size_t(std::clamp<LRESULT>(got, 0, LRESULT(text.size()))));
        items.push_back(JsonString(text));
    }
    return JsonArray(items);
}

std::string DescribeControl(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    JsonObject json;
    json.Add("hwnd", control)
        .Add("parent", GetAncestor(control, GA_PARENT))
        .Add("id", static_cast<long long>(GetDlgCtrlID(control)))
        .Add("class", ClassOf(control))
        .Add("text", TextOf(control))
        .Add("visible", IsWindowVisible(control) != FALSE)
        .Add("enabled", IsWindowEnabled(control) != FALSE)
        .Add("style", static_cast<long long>(static_cast<DWORD>(style)))
        .Add("rect", rect);
    if (IsClass(control, WC_BUTTONW)) {
        const LONG_PTR type = style & BS_TYPEMASK;
        const bool checkable = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                               type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
        if (checkable) json.Add("check", static_cast<long long>(SendWithTimeout(control, BM_GETCHECK, 0, 0)));
    } else if (IsClass(control, WC_TABCONTROLW)) {
        json.AddRaw("items", TabItems(control));
        json.Add("selected", static_cast<long long>(SendWithTimeout(control, TCM_GETCURSEL, 0, 0)));
    } else if (IsClass(control, WC_COMBOBOXW)) {
        json.AddRaw("items", ComboItems(control));
        json.Add("selected", static_cast<long long>(SendWithTimeout(control, CB_GETCURSEL, 0, 0)));
    } else if (IsClass(control, TRACKBAR_CLASSW)) {
        json.Add("position", static_cast<long long>(SendWithTimeout(control, TBM_GETPOS, 0, 0)));
        json.Add("min", static_cast<long long>(SendWithTimeout(control, TBM_GETRANGEMIN, 0, 0)));
        json.Add("max", static_cast<long long>(SendWithTimeout(control, TBM_GETRANGEMAX, 0, 0)));
    } else if (IsClass(control, UPDOWN_CLASSW)) {
        json.Add("position", static_cast<long long>(SendWithTimeout(control, UDM_GETPOS32, 0, 0)));
        json.Add("buddy", reinterpret_cast<HWND>(SendWithTimeout(control, UDM_GETBUDDY, 0, 0)));
    }
    return json.Text();
}

// The descendant of parent with the given control id; when several have it
// (pages of a tab control may reuse ids), the one visible one is meant.
HWND FindControl(HWND parent, const std::wstring& idText) {
    const long long id = ParseNumber(idText);
    if (id == -1) return parent;
    std::vector<HWND> matches;
    for (HWND child : Descendants(parent)) {
        if (GetDlgCtrlID(child) == id) matches.push_back(child);
    }
    if (matches.size() > 1) {
        matches.erase(std::remove_if(matches.begin(), matches.end(), [](HWND w) { return !IsWindowVisible(w); }),
                      matches.end());
    }
    if (matches.empty()) Fail("no control with id " + Utf8(idText));
    if (matches.size() > 1) Fail("several visible controls with id " + Utf8(idText));
    return matches.front();
}

// The window itself or its one descendant of that class; of several, the
// one visible one (a window that is not shown yet has no visible children).
HWND FindByClass(HWND window, const wchar_t* className) {
    if (IsClass(window, className)) return window;
    std::vector<HWND> matches;
    for (HWND child : Descendants(window)) {
        if (IsClass(child, className)) matches.push_back(child);
    }
    if (matches.size() > 1) {
        matches.erase(std::remove_if(matches.begin(), matches.end(), [](HWND w) { return !IsWindowVisible(w); }),
                      matches.end());
    }
    if (matches.size() != 1) Fail("no single " + Utf8(className) + " in the window");
    return matches.front();
}

std::string Windows() {
    std::vector<std::string> items;
    for (HWND window : TopLevelWindows()) items.push_back(DescribeTopLevel(window));
    return JsonArray(items);
}

std::string Controls(const Args& args) {
    if (args.size() != 2) Fail("usage: controls <hwnd>");
    std::vector<std::string> items;
    for (HWND child : Descendants(ParseWindow(args[1]))) items.push_back(DescribeControl(child));
    return JsonArray(items);
}

std::string Click(const Args& args) {
    if (args.size() < 3 || args.size() > 4 || (args.size() == 4 && args[3] != L"--async"))
        Fail("usage: click <hwnd> <id> [--async]");
    const HWND control = FindControl(ParseWindow(args[1]), args[2]);
    const bool async = args.size() == 4;
    bool timedOut = false;
    if (IsClass(control, WC_BUTTONW)) {
        if (async) {
            PostMessageW(control, BM_CLICK, 0, 0);
        } else {
            SendWithTimeout(control, BM_CLICK, 0, 0, &timedOut);
        }
    } else {
        const HWND parent = GetAncestor(control, GA_PARENT);
        const WPARAM command = MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED);
        if (async) {
            PostMessageW(parent, WM_COMMAND, command, LPARAM(control));
        } else {
            SendWithTimeout(parent, WM_COMMAND, command, LPARAM(control), &timedOut);
        }
    }
    // A click that opens a modal dialog does not return within the deadline.
    return JsonObject().Add("hwnd", control).Add("timed_out", timedOut).Text();
}

std::string SendOrPost(const Args& args, bool send) {
    if (args.size() != 5) Fail("usage: send|post <hwnd> <msg> <wparam> <lparam>");
    const HWND window = ParseWindow(args[1]);
    const UINT message = UINT(ParseNumber(args[2]));
    const WPARAM wParam = WPARAM(ParseNumber(args[3]));
    const LPARAM lParam = LPARAM(ParseNumber(args[4]));
    if (!send) return JsonObject().Add("result", PostMessageW(window, message, wParam, lParam) != FALSE).Text();
    bool timedOut = false;
    const LRESULT result = SendWithTimeout(window, message, wParam, lParam, &timedOut);
    return JsonObject().Add("result", static_cast<long long>(result)).Add("timed_out", timedOut).Text();
}

std::string SetText(const Args& args) {
    if (args.size() != 4) Fail("usage: settext <hwnd> <id> <text>");
    const HWND control = FindControl(ParseWindow(args[1]), args[2]);
    const LRESULT result = SendWithTimeout(control, WM_SETTEXT, 0, LPARAM(args[3].c_str()));
    return JsonObject().Add("hwnd", control).Add("result", static_cast<long long>(result)).Text();
}

// Clicks the tab's item with the mouse messages a user's click would send, so
// the tab control itself sends TCN_SELCHANGING and TCN_SELCHANGE to its parent.
std::string SelectTab(const Args& args) {
    if (args.size() != 3) Fail("usage: select-tab <hwnd> <index>");
    const HWND tab = FindByClass(ParseWindow(args[1]), WC_TABCONTROLW);
    const long long index = ParseNumber(args[2]);
    if (index < 0 || index >= SendWithTimeout(tab, TCM_GETITEMCOUNT, 0, 0)) Fail("no such tab");
    RECT item{};
    {
        RemoteBuffer buffer(tab, sizeof(RECT));
        if (!SendWithTimeout(tab, TCM_GETITEMRECT, WPARAM(index), LPARAM(buffer.Address())))
            Fail("no rectangle for the tab");
        buffer.Read(&item, sizeof item);
    }
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendWithTimeout(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendWithTimeout(tab, WM_LBUTTONUP, 0, point);
    const long long selected = SendWithTimeout(tab, TCM_GETCURSEL, 0, 0);
    return JsonObject().Add("hwnd", tab).Add("selected", selected).Text();
}

// Selects like a user's choice in the list: the selection, then the
// notification to the parent.
std::string ComboSelect(const Args& args) {
    if (args.size() != 4) Fail("usage: combo-select <hwnd> <id> <index>");
    const HWND combo = FindControl(ParseWindow(args[1]), args[2]);
    if (!IsClass(combo, WC_COMBOBOXW)) Fail("not a combo box");
    const long long index = ParseNumber(args[3]);
    const LRESULT set = SendWithTimeout(combo, CB_SETCURSEL, WPARAM(index), 0);
    if (set == CB_ERR && index != -1) Fail("no such item");
    SendWithTimeout(GetAncestor(combo, GA_PARENT), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                    LPARAM(combo));
    return JsonObject().Add("hwnd", combo).Add("selected", static_cast<long long>(SendWithTimeout(combo, CB_GETCURSEL, 0, 0))).Text();
}

std::string Foreground(const Args& args) {
    if (args.size() != 2) Fail("usage: foreground <hwnd>");
    const HWND window = ParseWindow(args[1]);
    const bool result = SetForegroundWindow(window) != FALSE;
    return JsonObject().Add("result", result).Add("foreground", GetForegroundWindow()).Text();
}

std::string Close(const Args& args) {
    if (args.size() != 2) Fail("usage: close <hwnd>");
    return JsonObject().Add("result", PostMessageW(ParseWindow(args[1]), WM_CLOSE, 0, 0) != FALSE).Text();
}

std::string WaitWindow(const Args& args) {
    if (args.size() != 3) Fail("usage: wait-window <title-prefix> <timeout-ms>");
    const std::wstring& prefix = args[1];
    const ULONGLONG deadline = GetTickCount64() + ULONGLONG(ParseNumber(args[2]));
    for (;;) {
        for (HWND window : TopLevelWindows()) {
            if (TitleOf(window).compare(0, prefix.size(), prefix) == 0) return DescribeTopLevel(window);
        }
        if (GetTickCount64() >= deadline) Fail("no window titled " + Utf8(prefix) + "...");
        Sleep(20);
    }
}

std::string Processes() {
    std::vector<std::string> items;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) Fail("no process snapshot");
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        items.push_back(JsonObject()
                            .Add("pid", static_cast<long long>(entry.th32ProcessID))
                            .Add("ppid", static_cast<long long>(entry.th32ParentProcessID))
                            .Add("exe", entry.szExeFile)
                            .Text());
    }
    CloseHandle(snapshot);
    return JsonArray(items);
}

std::string KeyState(const Args& args) {
    if (args.size() != 2) Fail("usage: keystate <vk>");
    const int vk = int(ParseNumber(args[1]));
    return JsonObject()
        .Add("down", (GetAsyncKeyState(vk) & 0x8000) != 0)
        .Add("toggled", (GetKeyState(vk) & 1) != 0)
        .Text();
}

std::string Cursor() {
    POINT point{};
    GetCursorPos(&point);
    return JsonObject().Add("x", static_cast<long long>(point.x)).Add("y", static_cast<long long>(point.y)).Text();
}

// A hidden window that stays until the driver ends: its creation, seen by a
// window watch, marks that every earlier creation was seen too.
std::string Marker(const Args& args) {
    if (args.size() != 2) Fail("usage: marker <title>");
    const HWND window = CreateWindowExW(0, WC_STATICW, args[1].c_str(), 0, 0, 0, 1, 1, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (!window) Fail("cannot create the marker window");
    return JsonObject().Add("hwnd", window).Text();
}

std::string Screen() {
    return JsonObject()
        .Add("width", static_cast<long long>(GetSystemMetrics(SM_CXSCREEN)))
        .Add("height", static_cast<long long>(GetSystemMetrics(SM_CYSCREEN)))
        .Add("foreground", GetForegroundWindow())
        .Text();
}

}  // namespace

std::string RunCommand(const Args& args) {
    if (args.empty()) Fail("no command");
    const std::wstring& command = args[0];
    if (command == L"windows") return Windows();
    if (command == L"controls") return Controls(args);
    if (command == L"click") return Click(args);
    if (command == L"send") return SendOrPost(args, true);
    if (command == L"post") return SendOrPost(args, false);
    if (command == L"settext") return SetText(args);
    if (command == L"select-tab") return SelectTab(args);
    if (command == L"combo-select") return ComboSelect(args);
    if (command == L"foreground") return Foreground(args);
    if (command == L"close") return Close(args);
    if (command == L"wait-window") return WaitWindow(args);
    if (command == L"processes") return Processes();
    if (command == L"keystate") return KeyState(args);
    if (command == L"cursor") return Cursor();
    if (command == L"screen") return Screen();
    if (command == L"marker") return Marker(args);
    if (command.rfind(L"reg-", 0) == 0) return RunRegistryCommand(args);
    if (command.rfind(L"shell-", 0) == 0) return RunShellCommand(args);
    Fail("unknown command: " + Utf8(command));
}
