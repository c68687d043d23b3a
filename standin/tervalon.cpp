// A stand-in for Tervalon, the program the updater updates: the updater's
// default payload, and the "installed" program in tests and the demo.
//
// Like Tervalon it writes its installation record (folder and version) into
// the Windows directory whenever it starts, and shows its version in a window.
// Options:
//   /update <updater.exe>  start the updater with our own executable path as
//                          argument 1, then exit (as Tervalon does to update)
//   /linger <ms>           with /update: take this long to exit, holding our
//                          executable meanwhile
#include <windows.h>

#include <cstdlib>
#include <string>

#include "update/release_profile.hpp"

#ifndef TERVALON_STANDIN_VERSION
#error "TERVALON_STANDIN_VERSION must name the version this build shows"
#endif

namespace {

constexpr char WindowClass[] = "TervalonStandIn";
constexpr char Caption[] = "Tervalon " TERVALON_STANDIN_VERSION;

std::string OwnPath()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string WindowsDirectory()
{
    char buffer[MAX_PATH * 4]{};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
}

void WriteInstallationRecord()
{
    const std::string exe = OwnPath();
    const std::string folder = exe.substr(0, exe.find_last_of('\\'));
    const std::string record = WindowsDirectory() + "\\" + std::string(tervalon::profile::IniFileName);
    const std::string section(tervalon::profile::IniSection);
    WritePrivateProfileStringA(section.c_str(), "CALE", folder.c_str(), record.c_str());
    WritePrivateProfileStringA(section.c_str(), "VER", TERVALON_STANDIN_VERSION, record.c_str());
}

bool StartUpdater(const std::string& updater)
{
    std::string commandLine = "\"" + updater + "\" \"" + OwnPath() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(updater.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT area{};
        GetClientRect(window, &area);
        DrawTextA(dc, Caption, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WriteInstallationRecord();

    std::string updater;
    DWORD lingerMs = 0;
    for (int i = 1; i + 1 < __argc; i += 2) {
        const std::string option = __argv[i];
        if (option == "/update") updater = __argv[i + 1];
        if (option == "/linger") lingerMs = static_cast<DWORD>(std::strtoul(__argv[i + 1], nullptr, 10));
    }
    if (!updater.empty()) {
        const bool started = StartUpdater(updater);
        Sleep(lingerMs);
        return started ? 0 : 1;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = WindowClass;
    RegisterClassA(&wc);
    const HWND window = CreateWindowExA(0, WindowClass, Caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        320, 160, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
