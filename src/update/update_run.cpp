#include "update/update_run.hpp"

#include "update/message_asker.hpp"
#include "update/paths.hpp"

namespace tervalon::update {

namespace texts {
std::string NotInstalled(std::string_view programTitle)
{
    return std::string("Programul ").append(programTitle).append(" nu este instalat!");
}
std::string InstalledVersion(VersionValue installed, char decimalSeparator)
{
    return "Aveti instalata versiunea " + FormatVersion(installed, decimalSeparator);
}
std::string Updating(VersionValue newVersion, char decimalSeparator)
{
    return "Actualizam programul la versiunea " + FormatVersion(newVersion, decimalSeparator);
}
std::string CannotWrite(std::string_view installDir)
{
    return std::string("Nu pot scrie in ").append(installDir).append("!");
}
std::string CloseProgramTitle(std::string_view programTitle)
{
    return std::string("Actualizare ").append(programTitle);
}
std::string CloseProgramText(std::string_view programTitle)
{
    return std::string(" Inchideti mai intai programul ").append(programTitle).append("!");
}
}  // namespace texts

std::string TemporaryPath(std::string_view installDir) { return JoinPath(installDir, "TmpUp"); }

std::string TargetPath(std::string_view installDir, std::string_view programExe)
{
    return JoinPath(installDir, programExe);
}

bool ExtractPayload(ResourceSource& resources, FileSystem& files, const std::string& type,
                    const std::string& name, const std::string& path)
{
    const auto payload = resources.Find(type, name);
    if (!payload) return false;
    return files.WriteNewFile(path, *payload);
}

namespace {

// Ends the run with one red error on line 3; line 4 is hidden.
void FailOnLineThree(StatusLines& lines, std::string_view text)
{
    lines.MarkRed(Line::Three);
    lines.Write(Line::Three, text);
    lines.Hide(Line::Four);
}

// Started by Tervalon: it is exiting by itself, so wait (bounded) until its
// executable can be deleted. True once no file is left at `target`.
bool WaitAndDelete(FileSystem& files, Clock& clock, const std::string& target)
{
    const auto start = clock.Now();
    while (files.FileExists(target)) {
        files.ResetAttributes(target);
        files.RemoveFile(target);
        if (!files.FileExists(target)) break;
        if (clock.Now() - start >= DeleteWaitLimit) return false;
        clock.Sleep(DeleteRetryPause);
    }
    return true;
}

// Started by a user: ask them to close Tervalon until the executable can be
// deleted, or until they give up. True once no file is left at `target`.
bool AskAndDelete(FileSystem& files, MessageAsker& asker, const Release& release, const std::string& target)
{
    for (;;) {
        if (!files.FileExists(target)) return true;
        if (files.ResetAttributes(target) == 0 && files.RemoveFile(target)) return true;
        const auto answer = asker.Mesaj(texts::CloseProgramTitle(release.programTitle),
                                        texts::CloseProgramText(release.programTitle), CloseProgramKind,
                                        CloseProgramButtons);
        if (answer == CancelResult) return false;
    }
}

}  // namespace

RunResult RunUpdate(const InstallInfo& install, const Release& release, UpdateEnvironment& environment)
{
    FileSystem& files = environment.files;
    StatusLines& lines = environment.lines;
    RunResult result;

    if (!IsInstalled(install.InstalledVersion)) {
        lines.MarkRed(Line::Two);
        lines.Write(Line::Two, texts::NotInstalled(release.programTitle));
        lines.Hide(Line::One);
        lines.Hide(Line::Three);
        lines.Hide(Line::Four);
        result.outcome = Outcome::NotInstalled;
        return result;
    }

    lines.Write(Line::One, texts::InstalledVersion(install.InstalledVersion, environment.decimalSeparator));
    const std::string target = TargetPath(install.InstallDir, release.programExe);
    if (!IsUpdateDue(release.newVersion, install.InstalledVersion) && files.FileExists(target)) {
        lines.MarkRed(Line::Two);
        lines.Write(Line::Two, texts::AlreadyCurrent);
        lines.Hide(Line::Three);
        lines.Hide(Line::Four);
        result.outcome = Outcome::AlreadyCurrent;
        return result;
    }

    lines.Write(Line::Two, texts::Updating(release.newVersion, environment.decimalSeparator));
    const std::string temporary = TemporaryPath(install.InstallDir);
    if (files.FileExists(temporary) && !files.RemoveFile(temporary)) {
        FailOnLineThree(lines, texts::CannotWrite(install.InstallDir));
        result.outcome = Outcome::TemporaryNameBusy;
        return result;
    }
    if (!ExtractPayload(environment.resources, files, std::string(release.payloadType),
                        std::string(release.payloadName), temporary)) {
        FailOnLineThree(lines, texts::ExtractionFailed);
        result.outcome = Outcome::ExtractionFailed;
        return result;
    }

    result.targetExe = target;
    const bool oldGone = install.StartedWithParam ? WaitAndDelete(files, environment.clock, target)
                                                  : AskAndDelete(files, environment.asker, release, target);
    if (!oldGone) {
        files.RemoveFile(temporary);
        FailOnLineThree(lines, texts::CannotReplace);
        result.outcome = Outcome::Cancelled;
        return result;
    }
    if (!install.StartedWithParam && environment.processPendingMessages) environment.processPendingMessages();
    if (!files.RenameFile(temporary, target)) {
        // The new release stays in the temporary file; success is never claimed.
        FailOnLineThree(lines, texts::RenameFailed);
        result.outcome = Outcome::RenameFailed;
        return result;
    }
    lines.Hide(Line::Three);
    lines.Write(Line::Four, texts::Success);
    result.outcome = Outcome::Replaced;
    return result;
}

}  // namespace tervalon::update
