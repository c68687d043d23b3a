#include "update/win32/hand_back_runner.hpp"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "update/win32/handle.hpp"

namespace tervalon::update::win32 {

namespace {

std::string SystemReason(DWORD error)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length ? std::string(text, length) : "eroare " + std::to_string(error);
    if (text) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

void WriteScript(const std::string& path, const std::string& text)
{
    const UniqueHandle file =
        OwnHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        const DWORD error = GetLastError();
        throw std::runtime_error("Nu pot scrie fisierul " + path + ": " + SystemReason(error));
    }
}

void ClearReadOnly(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Quoted, so that "C:\Program Files\Tervalon\Tervalon.exe" can never start
// "C:\Program.exe". The result is not looked at.
void Start(const std::string& path, UINT show)
{
    const std::string commandLine = "\"" + path + "\"";
    WinExec(commandLine.c_str(), show);
}

}  // namespace

std::optional<std::string> AnsiToOemExactly(std::string_view ansi)
{
    if (ansi.empty()) return std::string();
    const int length = static_cast<int>(ansi.size());
    const int wide = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), length, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::vector<wchar_t> unicode(static_cast<std::size_t>(wide));
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), length, unicode.data(), wide);
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, unicode.data(), wide, nullptr, 0, nullptr,
                                         &lossy);
    if (size <= 0 || lossy) return std::nullopt;
    std::string oem(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, unicode.data(), wide, oem.data(), size, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return oem;
}

void RunHandBack(const HandBackPlan& plan)
{
    using Kind = HandBackAction::Kind;
    for (const HandBackAction& action : plan.actions) {
        switch (action.kind) {
        case Kind::WriteScript: WriteScript(action.path, action.text); break;
        case Kind::ClearReadOnly: ClearReadOnly(action.path); break;
        case Kind::StartHidden: Start(action.path, SW_HIDE); break;
        case Kind::StartNormal: Start(action.path, SW_SHOWNORMAL); break;
        case Kind::ExitProcess: ExitProcess(0);
        }
    }
}

}  // namespace tervalon::update::win32
