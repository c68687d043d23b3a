// driver.exe: drives the updater's windows from outside, as a user would, for
// the end-to-end tests. It runs in the same Wine prefix as the program under
// test; one command per invocation, results on stdout as lines of
// tab-separated fields, the first naming the record and the others key=value:
//
//   driver list
//   driver wait      CLASS [--caption TEXT] [--timeout MS]
//   driver wait-gone CLASS [--caption TEXT] [--timeout MS]
//   driver dump      CLASS [--caption TEXT] [--timeout MS]
//   driver key       CLASS KEY [--caption TEXT] [--timeout MS]
//   driver click     CLASS BUTTON-TEXT [--caption TEXT] [--timeout MS]
//   driver close     CLASS [--syscommand] [--caption TEXT] [--timeout MS]
//   driver locale
//
// KEY is RETURN, ESCAPE, TAB, SPACE, a letter or a digit, after any of the
// modifiers SHIFT+, CTRL+ and ALT+ (e.g. SHIFT+TAB, ALT+D). Exit code 0 on
// success; 1 with a message on stderr on failure or timeout; 2 for bad usage.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr DWORD DefaultTimeoutMs = 10000;
constexpr DWORD PollIntervalMs = 50;
constexpr DWORD KeyStateSettleMs = 100;

// Values never hold a tab or a line break, so that every record stays one line.
std::string Escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string ClassOf(HWND window)
{
    char name[256]{};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window)
{
    // WM_GETTEXT with a timeout: a window of a hung or busy thread must not hang the driver.
    char text[1024]{};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             2000, &length))
        return {};
    return text;
}

std::string Hex(const void* handle)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(handle)));
    return text;
}

std::string Hex(DWORD value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(value));
    return text;
}

// One output line: a record name, then key=value fields.
class Record {
public:
    explicit Record(std::string_view name) : line_(name) {}
    Record& Add(std::string_view key, std::string_view value)
    {
        line_ += '\t';
        line_ += key;
        line_ += '=';
        line_ += Escaped(value);
        return *this;
    }
    Record& Add(std::string_view key, long value) { return Add(key, std::to_string(value)); }
    Record& Flag(std::string_view key, bool value) { return Add(key, value ? "1" : "0"); }
    Record& Box(std::string_view key, long left, long top, long width, long height)
    {
        return Add(key, std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(width) + "," +
                            std::to_string(height));
    }
    void Print() const { std::printf("%s\n", line_.c_str()); }

private:
    std::string line_;
};

int Fail(const std::string& message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "driver: %s\n", message.c_str());
    return 1;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Every control inside the window, children of children included.
std::vector<HWND> Descendants(HWND window)
{
    std::vector<HWND> windows;
    EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

struct WindowQuery {
    std::string className;
    std::optional<std::string> caption;
    bool mustBeVisible = true;
};

// The first top-level window that matches; a visible one wins over a hidden one.
HWND FindTopLevel(const WindowQuery& query)
{
    HWND hidden = nullptr;
    for (const HWND window : TopLevelWindows()) {
        if (ClassOf(window) != query.className) continue;
        if (query.caption && TextOf(window) != *query.caption) continue;
        if (IsWindowVisible(window)) return window;
        if (!hidden) hidden = window;
    }
    return query.mustBeVisible ? nullptr : hidden;
}

std::string Describe(const WindowQuery& query)
{
    std::string text = "window of class " + query.className;
    if (query.caption) text += " with caption \"" + *query.caption + "\"";
    return text;
}

HWND WaitFor(const WindowQuery& query, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (const HWND window = FindTopLevel(query)) return window;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(PollIntervalMs);
    }
}

// Returns once the window's thread has taken up the messages posted to it
// before: each sent message is answered at the thread's next message retrieval,
// so the third answer comes after the first two posted messages were dispatched
// (or after a modal loop that one of them started is running).
void SettleAfterPosting(HWND window)
{
    for (int i = 0; i < 3; ++i) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &ignored)) return;
    }
}

POINT ClientOrigin(HWND window)
{
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

GUITHREADINFO ThreadInfoOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// ------------------------------------------------------------------ commands

int List()
{
    for (const HWND window : TopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        Record("window")
            .Add("hwnd", Hex(window))
            .Add("class", ClassOf(window))
            .Add("caption", TextOf(window))
            .Flag("visible", IsWindowVisible(window))
            .Add("owner", Hex(GetWindow(window, GW_OWNER)))
            .Add("pid", static_cast<long>(pid))
            .Print();
    }
    return 0;
}

int Wait(const WindowQuery& query, DWORD timeoutMs)
{
    const HWND window = WaitFor(query, timeoutMs);
    if (!window) return Fail("no visible " + Describe(query) + " within " + std::to_string(timeoutMs) + " ms");
    Record("found").Add("hwnd", Hex(window)).Add("class", query.className).Add("caption", TextOf(window)).Print();
    return 0;
}

int WaitGone(WindowQuery query, DWORD timeoutMs)
{
    query.mustBeVisible = false;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (FindTopLevel(query)) {
        if (GetTickCount64() >= deadline)
            return Fail(Describe(query) + " still there after " + std::to_string(timeoutMs) + " ms");
        Sleep(PollIntervalMs);
    }
    Record("gone").Add("class", query.className).Print();
    return 0;
}

int Dump(HWND window)
{
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    RECT outer{};
    GetWindowRect(window, &outer);
    RECT client{};
    GetClientRect(window, &client);
    const POINT origin = ClientOrigin(window);
    const HWND owner = GetWindow(window, GW_OWNER);
    const GUITHREADINFO thread = ThreadInfoOf(window);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const auto has = [](LONG bits, LONG flag) { return (bits & flag) == flag; };

    Record("window")
        .Add("hwnd", Hex(window))
        .Add("class", ClassOf(window))
        .Add("caption", TextOf(window))
        .Add("style", Hex(static_cast<DWORD>(style)))
        .Add("exstyle", Hex(static_cast<DWORD>(exStyle)))
        .Flag("titlebar", has(style, WS_CAPTION))
        .Flag("sysmenu", has(style, WS_SYSMENU))
        .Flag("minbox", has(style, WS_MINIMIZEBOX))
        .Flag("maxbox", has(style, WS_MAXIMIZEBOX))
        .Flag("thickframe", has(style, WS_THICKFRAME))
        .Flag("dlgframe", has(exStyle, WS_EX_DLGMODALFRAME))
        .Flag("topmost", has(exStyle, WS_EX_TOPMOST))
        .Flag("visible", IsWindowVisible(window))
        .Flag("enabled", IsWindowEnabled(window))
        .Box("rect", outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top)
        .Add("client", std::to_string(client.right) + "," + std::to_string(client.bottom))
        .Add("client_origin", std::to_string(origin.x) + "," + std::to_string(origin.y))
        .Add("owner", Hex(owner))
        .Add("owner_class", owner ? ClassOf(owner) : "")
        .Add("owner_caption", owner ? TextOf(owner) : "")
        .Add("active", Hex(thread.hwndActive))
        .Add("focus", Hex(thread.hwndFocus))
        .Add("focus_id", thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0)
        .Add("pid", static_cast<long>(pid))
        .Print();

    for (const HWND control : Descendants(window)) {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        Record("control")
            .Add("hwnd", Hex(control))
            .Add("class", ClassOf(control))
            .Add("id", GetDlgCtrlID(control))
            .Add("text", TextOf(control))
            .Box("rect", r.left, r.top, r.right - r.left, r.bottom - r.top)
            .Flag("visible", IsWindowVisible(control))
            .Flag("enabled", IsWindowEnabled(control))
            .Flag("focused", control == thread.hwndFocus)
            .Add("parent_id", GetParent(control) == window ? 0 : GetDlgCtrlID(GetParent(control)))
            .Print();
    }
    return 0;
}

struct KeyStroke {
    WPARAM key = 0;
    bool shift = false, control = false, alt = false;
};

// "TAB", "d", "SHIFT+TAB", "ALT+D", "CTRL+SHIFT+X": modifiers first, then one key.
std::optional<KeyStroke> KeyStrokeNamed(std::string_view name)
{
    struct Named {
        std::string_view name;
        WPARAM key;
    };
    static constexpr Named Keys[] = {{"RETURN", VK_RETURN}, {"ENTER", VK_RETURN}, {"ESCAPE", VK_ESCAPE},
                                     {"ESC", VK_ESCAPE},    {"TAB", VK_TAB},      {"SPACE", VK_SPACE}};
    const auto same = [](std::string_view a, std::string_view b) {
        return lstrcmpiA(std::string(a).c_str(), std::string(b).c_str()) == 0;
    };
    KeyStroke stroke;
    for (std::size_t plus; (plus = name.find('+')) != std::string_view::npos && plus + 1 < name.size();
         name.remove_prefix(plus + 1)) {
        const std::string_view modifier = name.substr(0, plus);
        if (same(modifier, "SHIFT")) {
            stroke.shift = true;
        } else if (same(modifier, "CTRL")) {
            stroke.control = true;
        } else if (same(modifier, "ALT")) {
            stroke.alt = true;
        } else {
            return std::nullopt;
        }
    }
    for (const Named& named : Keys) {
        if (!same(name, named.name)) continue;
        stroke.key = named.key;
        return stroke;
    }
    if (name.size() != 1) return std::nullopt;
    const char c = name[0];
    if (c >= 'a' && c <= 'z') {
        stroke.key = static_cast<WPARAM>(c - 'a' + 'A');
    } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        stroke.key = static_cast<WPARAM>(c);
    } else {
        return std::nullopt;
    }
    return stroke;
}

// Holds Shift, Ctrl and Alt down, as GetKeyState sees them in the target
// thread, while it lives: posted key messages carry no key state of their own.
// The driver's thread shares the target's input state for that time.
class HeldModifiers {
public:
    HeldModifiers(DWORD targetThread, const KeyStroke& stroke)
        : targetThread_(targetThread),
          attached_(AttachThreadInput(GetCurrentThreadId(), targetThread, TRUE) != FALSE)
    {
        if (!attached_ || !GetKeyboardState(saved_)) return;
        BYTE held[256];
        CopyMemory(held, saved_, sizeof held);
        const auto hold = [&held](bool wanted, int key, int leftKey) {
            if (!wanted) return;
            held[key] |= 0x80;
            held[leftKey] |= 0x80;
        };
        hold(stroke.shift, VK_SHIFT, VK_LSHIFT);
        hold(stroke.control, VK_CONTROL, VK_LCONTROL);
        hold(stroke.alt, VK_MENU, VK_LMENU);
        restore_ = SetKeyboardState(held) != FALSE;
        // Wine's GetKeyState answers from a copy of the key state that it
        // refreshes only after some tens of milliseconds.
        Sleep(KeyStateSettleMs);
    }
    ~HeldModifiers()
    {
        if (restore_) SetKeyboardState(saved_);
        if (attached_) AttachThreadInput(GetCurrentThreadId(), targetThread_, FALSE);
    }
    HeldModifiers(const HeldModifiers&) = delete;
    HeldModifiers& operator=(const HeldModifiers&) = delete;

private:
    DWORD targetThread_;
    bool attached_;
    bool restore_ = false;
    BYTE saved_[256]{};
};

int PostKeyStroke(HWND target, const KeyStroke& stroke);

// Posts the key to the control that has the keyboard focus in the window's
// thread (the window itself when no control has it), as typing would. With
// Alt it comes as a system key, as Windows sends Alt combinations.
int PressKey(HWND window, const KeyStroke& stroke)
{
    // A window that has only just come up may still be settling its focus: when
    // the post fails, look up the focused control again, a few times.
    HWND target = nullptr;
    DWORD error = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0) Sleep(200);
        const GUITHREADINFO thread = ThreadInfoOf(window);
        target = thread.hwndFocus ? thread.hwndFocus : window;
        const int result = PostKeyStroke(target, stroke);
        if (result == 0) break;
        error = static_cast<DWORD>(result);
        target = nullptr;
    }
    if (!target) return Fail("cannot post the key: error " + std::to_string(error));
    Record("pressed")
        .Add("key", static_cast<long>(stroke.key))
        .Flag("shift", stroke.shift)
        .Flag("ctrl", stroke.control)
        .Flag("alt", stroke.alt)
        .Add("target", Hex(target))
        .Add("target_id", GetDlgCtrlID(target))
        .Print();
    return 0;
}

// Posts the key's down and up messages to `target`, with its modifiers held;
// 0, or the system's error code when a post fails.
int PostKeyStroke(HWND target, const KeyStroke& stroke)
{
    const auto scanCode = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(stroke.key), MAPVK_VK_TO_VSC));
    const LPARAM altContext = stroke.alt ? LPARAM{1} << 29 : 0;
    const LPARAM down = 1 | (scanCode << 16) | altContext;
    const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
    const UINT downMessage = stroke.alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT upMessage = stroke.alt ? WM_SYSKEYUP : WM_KEYUP;
    {
        const HeldModifiers held(GetWindowThreadProcessId(target, nullptr), stroke);
        if (!PostMessageA(target, downMessage, stroke.key, down) || !PostMessageA(target, upMessage, stroke.key, up))
            return static_cast<int>(GetLastError() ? GetLastError() : 1);
        SettleAfterPosting(target);
    }
    return 0;
}

// Button texts match as written or without their mnemonic markers ("&Da" or "Da").
bool TextMatches(const std::string& text, const std::string& wanted)
{
    if (text == wanted) return true;
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain == wanted;
}

int ClickButton(HWND window, const std::string& buttonText)
{
    for (const HWND control : Descendants(window)) {
        if (lstrcmpiA(ClassOf(control).c_str(), "Button") != 0 || !TextMatches(TextOf(control), buttonText)) continue;
        // Sent, so that the click has been handled when the driver returns; a
        // handler that runs a modal window keeps it busy, which is no failure.
        DWORD_PTR ignored = 0;
        const bool answered = SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, 3000, &ignored) != 0;
        Record("clicked")
            .Add("hwnd", Hex(control))
            .Add("id", GetDlgCtrlID(control))
            .Add("state", answered ? "done" : "pending")
            .Print();
        return 0;
    }
    return Fail("no button \"" + buttonText + "\" in " + Hex(window));
}

int Close(HWND window, bool systemCommand)
{
    const UINT message = systemCommand ? WM_SYSCOMMAND : WM_CLOSE;
    const WPARAM wParam = systemCommand ? SC_CLOSE : 0;
    DWORD_PTR ignored = 0;
    const bool answered = SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 3000, &ignored) != 0;
    Record("closed")
        .Add("hwnd", Hex(window))
        .Add("message", systemCommand ? "WM_SYSCOMMAND" : "WM_CLOSE")
        .Add("state", answered ? "done" : "pending")
        .Print();
    return 0;
}

int Locale()
{
    const auto value = [](LCTYPE type) {
        char text[64]{};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
        return std::string(text);
    };
    Record("locale")
        .Add("decimal", value(LOCALE_SDECIMAL))
        .Add("thousand", value(LOCALE_STHOUSAND))
        .Add("date", value(LOCALE_SDATE))
        .Add("shortdate", value(LOCALE_SSHORTDATE))
        .Print();
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: driver list | locale\n"
                 "       driver wait|wait-gone|dump CLASS [--caption TEXT] [--timeout MS]\n"
                 "       driver key CLASS KEY | click CLASS TEXT | close CLASS [--syscommand]\n");
    return 2;
}

struct Arguments {
    std::vector<std::string> positional;
    std::optional<std::string> caption;
    DWORD timeoutMs = DefaultTimeoutMs;
    bool systemCommand = false;
};

std::optional<Arguments> Parse(int argc, char** argv)
{
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--caption" && i + 1 < argc) {
            arguments.caption = argv[++i];
        } else if (argument == "--timeout" && i + 1 < argc) {
            arguments.timeoutMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else if (argument == "--syscommand") {
            arguments.systemCommand = true;
        } else if (argument.starts_with("--")) {
            return std::nullopt;
        } else {
            arguments.positional.emplace_back(argument);
        }
    }
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<Arguments> parsed = Parse(argc, argv);
    if (!parsed || parsed->positional.empty()) return Usage();
    const Arguments& arguments = *parsed;
    const std::string& command = arguments.positional[0];
    const std::size_t count = arguments.positional.size();

    if (command == "list" && count == 1) return List();
    if (command == "locale" && count == 1) return Locale();
    if (count < 2) return Usage();

    const WindowQuery query{arguments.positional[1], arguments.caption, command != "close"};
    if (command == "wait" && count == 2) return Wait(query, arguments.timeoutMs);
    if (command == "wait-gone" && count == 2) return WaitGone(query, arguments.timeoutMs);

    const bool known = (command == "dump" && count == 2) || (command == "key" && count == 3) ||
                       (command == "click" && count == 3) || (command == "close" && count == 2);
    if (!known) return Usage();
    std::optional<KeyStroke> key;
    if (command == "key" && !(key = KeyStrokeNamed(arguments.positional[2])))
        return Fail("unknown key " + arguments.positional[2]);

    // The application window is zero-sized and counts as shown, but a close
    // request may go to a hidden window too, so close waits for any match.
    const HWND window = WaitFor(query, arguments.timeoutMs);
    if (!window) return Fail("no " + Describe(query) + " within " + std::to_string(arguments.timeoutMs) + " ms");

    if (command == "dump") return Dump(window);
    if (command == "key") return PressKey(window, *key);
    if (command == "click") return ClickButton(window, arguments.positional[2]);
    return Close(window, arguments.systemCommand);
}
