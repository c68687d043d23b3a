#include "update/hand_back.hpp"

#include "update/paths.hpp"

namespace tervalon::update {

namespace {

std::string ScriptPathText(std::string_view path, const OemConverter& toOem)
{
    std::string converted(path);
    if (toOem) {
        if (auto oem = toOem(path)) converted = std::move(*oem);
    }
    std::string escaped;
    escaped.reserve(converted.size());
    for (char c : converted) {
        escaped += c;
        if (c == '%') escaped += '%';
    }
    return escaped;
}

}  // namespace

std::string ScriptPathFor(std::string_view updaterExe)
{
    return std::string(FolderPart(updaterExe)).append(ScriptFileName);
}

std::string SelfRemovalScript(std::string_view updaterExe, std::string_view scriptPath, const OemConverter& toOem)
{
    const std::string exe = ScriptPathText(updaterExe, toOem);
    const std::string script = ScriptPathText(scriptPath, toOem);
    std::string text;
    text.append(":redo\r\n");
    text.append("@del \"").append(exe).append("\"\r\n");
    text.append("if EXIST \"").append(exe).append("\" GOTO redo\r\n");
    text.append("@del \"").append(script).append("\"\r\n");
    return text;
}

HandBackPlan HandBack(bool startedWithParam, std::string_view updaterExe, std::string_view targetExe,
                      const OemConverter& toOem)
{
    HandBackPlan plan;
    plan.standalone = !startedWithParam;
    if (plan.standalone) return plan;

    using Kind = HandBackAction::Kind;
    const std::string scriptPath = ScriptPathFor(updaterExe);
    plan.actions.push_back({Kind::WriteScript, scriptPath, SelfRemovalScript(updaterExe, scriptPath, toOem)});
    plan.actions.push_back({Kind::ClearReadOnly, std::string(updaterExe), {}});
    plan.actions.push_back({Kind::StartHidden, scriptPath, {}});
    // An empty target (the run ended before the payload was written) starts nothing.
    if (!targetExe.empty()) plan.actions.push_back({Kind::StartNormal, std::string(targetExe), {}});
    plan.actions.push_back({Kind::ExitProcess, {}, {}});
    return plan;
}

}  // namespace tervalon::update
