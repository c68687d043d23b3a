// Test program for the message dialog: starts up like the updater (application,
// status window, then the dialog) and, where the update run would go, makes the
// calls given on its command line, one after the other. Each result is appended
// to the result file as its own line as soon as the call returns, so that a test
// can follow the sequence. Usage:
//   dialog_probe.exe RESULT_FILE CALL...
// where a CALL is KIND:BUTTONS[:TITLE[:TEXT]], numbers in decimal or 0x hex.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ui/win32/controls.hpp"
#include "ui/win32/message_dialog.hpp"
#include "ui/win32/status_window.hpp"

using namespace tervalon;

namespace {

struct Call {
    std::uint8_t kind = 0;
    std::uint16_t buttons = 0;
    std::string title = "Actualizare Tervalon";
    std::string text = " Inchideti mai intai programul Tervalon!";
};

bool ParseCall(std::string_view argument, Call& call)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() < 3) {
        const std::size_t colon = argument.find(':', start);
        if (colon == std::string_view::npos) break;
        parts.emplace_back(argument.substr(start, colon - start));
        start = colon + 1;
    }
    parts.emplace_back(argument.substr(start));  // the text keeps any further colons
    if (parts.size() < 2) return false;
    char* end = nullptr;
    const unsigned long kind = std::strtoul(parts[0].c_str(), &end, 0);
    if (*end != '\0' || kind > 0xFF) return false;
    const unsigned long buttons = std::strtoul(parts[1].c_str(), &end, 0);
    if (*end != '\0' || buttons > 0xFFFF) return false;
    call.kind = static_cast<std::uint8_t>(kind);
    call.buttons = static_cast<std::uint16_t>(buttons);
    if (parts.size() > 2) call.title = parts[2];
    if (parts.size() > 3) call.text = parts[3];
    return true;
}

// Appends one line; the file is closed at once so that a reader sees it.
void AppendLine(const std::string& path, const std::string& line)
{
    const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 3) return 2;
    const std::string resultFile = __argv[1];
    std::vector<Call> calls;
    for (int i = 2; i < __argc; ++i) {
        Call call;
        if (!ParseCall(__argv[i], call)) return 2;
        calls.push_back(call);
    }
    DeleteFileA(resultFile.c_str());

    int exitCode = 1;
    ui::win32::Guarded([&] {
        ui::win32::Application application(instance, "Actualizare Tervalon");
        ui::win32::StatusWindow form1(application);
        ui::win32::MessageDialog erori(application);
        // The calls are made where the update run makes its own: in the status
        // window's show handler, before that window is on screen.
        form1.updateRun = [&](ui::win32::StatusWindow&) {
            for (const Call& call : calls)
                AppendLine(resultFile, std::to_string(erori.Mesaj(call.title, call.text, call.kind, call.buttons)));
            application.Terminate();
        };
        application.Run(form1.form());
        exitCode = 0;
    });
    return exitCode;
}
