// In-memory stand-ins for the interfaces the update run talks to.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "update/file_system.hpp"
#include "update/message_asker.hpp"
#include "update/status_lines.hpp"
#include "update/update_run.hpp"

namespace tervalon::testing {

inline std::span<const std::byte> AsBytes(const std::string& text)
{
    return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

struct FakeFile {
    std::string bytes;
    std::uint32_t attributes = 0x20;  // archive
    int lockedForDeletes = 0;          // delete attempts that fail while a program holds it
    bool locked() const { return lockedForDeletes != 0; }
};

class FakeFileSystem : public update::FileSystem {
public:
    std::map<std::string, FakeFile> files;
    std::set<std::string> folders;
    bool createFails = false;
    std::optional<std::size_t> shortWriteAt;  // bytes actually written before the write stops
    bool renameFails = false;
    std::uint32_t resetError = 0;
    std::vector<std::string> log;

    bool FileExists(const std::string& path) override { return files.count(path) != 0; }

    bool RemoveFile(const std::string& path) override
    {
        log.push_back("delete " + path);
        const auto it = files.find(path);
        if (it == files.end()) return false;
        if (it->second.attributes & 1) return false;  // read-only
        if (it->second.lockedForDeletes != 0) {
            if (it->second.lockedForDeletes > 0) --it->second.lockedForDeletes;
            return false;
        }
        files.erase(it);
        return true;
    }

    std::uint32_t ResetAttributes(const std::string& path) override
    {
        log.push_back("reset " + path);
        if (resetError != 0) return resetError;
        const auto it = files.find(path);
        if (it == files.end()) return 2;  // file not found
        it->second.attributes = 0;
        return 0;
    }

    bool RenameFile(const std::string& from, const std::string& to) override
    {
        log.push_back("rename " + from + " -> " + to);
        if (renameFails || files.count(to) || folders.count(to) || !files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }

    bool WriteNewFile(const std::string& path, std::span<const std::byte> bytes) override
    {
        log.push_back("write " + path);
        if (createFails || folders.count(path)) return false;
        if (const auto it = files.find(path); it != files.end() && (it->second.locked() || (it->second.attributes & 1)))
            return false;
        const std::size_t written = shortWriteAt ? std::min(*shortWriteAt, bytes.size()) : bytes.size();
        files[path] = FakeFile{std::string(reinterpret_cast<const char*>(bytes.data()), written)};
        return written == bytes.size();
    }
};

class FakeResources : public update::ResourceSource {
public:
    std::map<std::string, std::string> byName;  // "TYPE/NAME" in capitals
    std::optional<std::span<const std::byte>> Find(const std::string& type, const std::string& name) override
    {
        std::string key = type + "/" + name;
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const auto it = byName.find(key);
        if (it == byName.end()) return std::nullopt;
        return AsBytes(it->second);
    }
};

struct LineState {
    std::string text;
    bool red = false;
    bool hidden = false;
};

class RecordingLines : public update::StatusLines {
public:
    std::array<LineState, 4> lines{{{"Linia 1"}, {"Linia 2"}, {"Linia 3"}, {"Linia 4"}}};
    LineState& operator[](int line) { return lines[static_cast<std::size_t>(line - 1)]; }
    void Write(update::Line line, std::string_view text) override { (*this)[static_cast<int>(line)].text = text; }
    void MarkRed(update::Line line) override { (*this)[static_cast<int>(line)].red = true; }
    void Hide(update::Line line) override { (*this)[static_cast<int>(line)].hidden = true; }
};

struct AskedMessage {
    std::string title, text;
    std::uint8_t kind;
    std::uint16_t buttons;
};

// Answers with the scripted results in turn (then Cancel), running `onAsk` first,
// the way a user closes Tervalon before pressing OK.
class ScriptedAsker : public update::MessageAsker {
public:
    std::vector<std::uint16_t> answers;
    std::function<void(std::size_t call)> onAsk;
    std::vector<AskedMessage> asked;
    std::uint16_t Mesaj(std::string_view title, std::string_view text, std::uint8_t kind,
                        std::uint16_t buttons) override
    {
        asked.push_back({std::string(title), std::string(text), kind, buttons});
        if (onAsk) onAsk(asked.size());
        return asked.size() <= answers.size() ? answers[asked.size() - 1] : 2;
    }
};

class FakeClock : public update::Clock {
public:
    std::chrono::milliseconds now{0};
    std::vector<std::chrono::milliseconds> sleeps;
    std::chrono::milliseconds Now() override { return now; }
    void Sleep(std::chrono::milliseconds duration) override
    {
        sleeps.push_back(duration);
        now += duration;
    }
};

}  // namespace tervalon::testing
