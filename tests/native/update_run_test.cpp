#include <gtest/gtest.h>

#include "fakes.hpp"
#include "update/update_run.hpp"

using namespace tervalon;
using namespace tervalon::testing;
using update::Outcome;

namespace {

const std::string Payload = std::string("MZ\0\x90 new Tervalon 1.0098\r\n\x1a", 27);
const std::string OldExe = "MZ old Tervalon 1.0097";
const update::Release Release{10098, "Tervalon", "Tervalon.exe", "AF", "UpGrade"};
const std::string Dir = "C:\\Tervalon";
const std::string Target = Dir + "\\Tervalon.exe";
const std::string Temporary = Dir + "\\TmpUp";

// One update run over fakes: an installation of Tervalon 1.0097 in C:\Tervalon.
class UpdateRunTest : public ::testing::Test {
public:
    FakeFileSystem files;
    FakeResources resources;
    RecordingLines lines;
    ScriptedAsker asker;
    FakeClock clock;
    int pendingMessageRounds = 0;
    std::vector<std::string> logAtPendingMessages;
    update::InstallInfo install{"C:\\windows", false, Dir, 10097};

    UpdateRunTest()
    {
        resources.byName["AF/UPGRADE"] = Payload;
        files.files[Target] = FakeFile{OldExe};
    }

    update::RunResult Run()
    {
        update::UpdateEnvironment environment{files, resources, lines, asker,
                                              [this] {
                                                  ++pendingMessageRounds;
                                                  logAtPendingMessages = files.log;
                                              },
                                              clock};
        return update::RunUpdate(install, Release, environment);
    }

    void ExpectLines(std::initializer_list<LineState> expected)
    {
        int line = 1;
        for (const LineState& want : expected) {
            SCOPED_TRACE("line " + std::to_string(line));
            EXPECT_EQ(lines[line].hidden, want.hidden);
            if (!want.hidden) {
                EXPECT_EQ(lines[line].text, want.text);
                EXPECT_EQ(lines[line].red, want.red);
            }
            ++line;
        }
    }
};

const LineState Hidden{"", false, true};
const LineState InstalledLine{"Aveti instalata versiunea 1.0097"};
const LineState UpdatingLine{"Actualizam programul la versiunea 1.0098"};
const LineState SuccessLine{"Actualizare incheiata cu succes!"};

TEST_F(UpdateRunTest, NotInstalledAtOrBelowVersionOne)
{
    for (VersionValue installed : {VersionValue{0}, VersionValue{10000}}) {
        lines = {};
        install.InstalledVersion = installed;
        const auto result = Run();
        EXPECT_EQ(result.outcome, Outcome::NotInstalled);
        EXPECT_TRUE(result.targetExe.empty());
        ExpectLines({Hidden, {"Programul Tervalon nu este instalat!", true}, Hidden, Hidden});
    }
    EXPECT_TRUE(files.log.empty());  // nothing on disk is touched
    install.InstalledVersion = 10001;
    EXPECT_NE(Run().outcome, Outcome::NotInstalled);
}

TEST_F(UpdateRunTest, AlreadyCurrentWhenTheInstalledVersionIsNotLower)
{
    for (VersionValue installed : {VersionValue{10098}, VersionValue{10099}}) {
        lines = {};
        install.InstalledVersion = installed;
        const auto result = Run();
        EXPECT_EQ(result.outcome, Outcome::AlreadyCurrent);
        EXPECT_TRUE(result.targetExe.empty());
        ExpectLines({{"Aveti instalata versiunea " + FormatVersion(installed)},
                     {"Aveti deja ultima versiune!", true}, Hidden, Hidden});
    }
    EXPECT_EQ(files.files.at(Target).bytes, OldExe);
    EXPECT_EQ(files.files.count(Temporary), 0u);
}

TEST_F(UpdateRunTest, CurrentVersionWithoutItsExecutableIsInstalledAgain)
{
    install.InstalledVersion = 10099;  // above the offered one
    files.files.clear();
    files.folders.insert(Target + "x");  // unrelated folder
    const auto result = Run();
    EXPECT_EQ(result.outcome, Outcome::Replaced);
    ExpectLines({{"Aveti instalata versiunea 1.0099"}, UpdatingLine, Hidden, SuccessLine});
    EXPECT_EQ(files.files.at(Target).bytes, Payload);
}

TEST_F(UpdateRunTest, ReplacesTheExecutableByteForByte)
{
    for (bool startedByTervalon : {false, true}) {
        SCOPED_TRACE(startedByTervalon ? "started by Tervalon" : "started by a user");
        files.files = {{Target, FakeFile{OldExe, 0x21}}};  // read-only too: attributes are reset
        lines = {};
        install.StartedWithParam = startedByTervalon;
        const auto result = Run();
        EXPECT_EQ(result.outcome, Outcome::Replaced);
        EXPECT_EQ(result.targetExe, Target);
        ExpectLines({InstalledLine, UpdatingLine, Hidden, SuccessLine});
        ASSERT_EQ(files.files.size(), 1u);
        EXPECT_EQ(files.files.at(Target).bytes, Payload);
        EXPECT_TRUE(asker.asked.empty());
    }
}

TEST_F(UpdateRunTest, PendingMessagesAreHandledOnceBeforeTheRenameWhenStartedByAUser)
{
    Run();
    EXPECT_EQ(pendingMessageRounds, 1);
    ASSERT_FALSE(logAtPendingMessages.empty());
    EXPECT_EQ(logAtPendingMessages.back(), "delete " + Target);

    pendingMessageRounds = 0;
    files.files = {{Target, FakeFile{OldExe}}};
    install.StartedWithParam = true;
    Run();
    EXPECT_EQ(pendingMessageRounds, 0);
}

TEST_F(UpdateRunTest, AnOldTemporaryFileIsDeletedFirst)
{
    files.files[Temporary] = FakeFile{"half a payload"};
    EXPECT_EQ(Run().outcome, Outcome::Replaced);
    EXPECT_EQ(files.files.count(Temporary), 0u);
    EXPECT_EQ(files.files.at(Target).bytes, Payload);
}

TEST_F(UpdateRunTest, TemporaryNameBusy)
{
    struct Case {
        const char* why;
        std::string installDir;
        FakeFile temporary;
        std::string shown;
    };
    const Case cases[] = {
        {"read-only", Dir, FakeFile{"old", 0x01}, "Nu pot scrie in C:\\Tervalon!"},
        {"held open", Dir, FakeFile{"old", 0x20, -1}, "Nu pot scrie in C:\\Tervalon!"},
        {"empty folder: root of the drive", "", FakeFile{"old", 0x01}, "Nu pot scrie in !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        install.InstallDir = c.installDir;
        files.files = {{update::TemporaryPath(c.installDir), c.temporary}, {Target, FakeFile{OldExe}}};
        files.log.clear();
        lines = {};
        const auto result = Run();
        EXPECT_EQ(result.outcome, Outcome::TemporaryNameBusy);
        EXPECT_TRUE(result.targetExe.empty());
        ExpectLines({InstalledLine, UpdatingLine, {c.shown, true}, Hidden});
        EXPECT_EQ(files.files.at(update::TemporaryPath(c.installDir)).bytes, "old");
        // No attribute reset is tried on the temporary file.
        for (const std::string& step : files.log) EXPECT_EQ(step.rfind("reset", 0), std::string::npos) << step;
    }
    EXPECT_EQ(update::TemporaryPath(""), "\\TmpUp");
    EXPECT_EQ(update::TargetPath("", "Tervalon.exe"), "\\Tervalon.exe");
}

TEST_F(UpdateRunTest, ExtractionFailures)
{
    struct Case {
        const char* why;
        std::function<void(UpdateRunTest&)> arrange;
        std::optional<std::string> leftAtTemporary;
    };
    const Case cases[] = {
        {"no payload resource", [](UpdateRunTest& t) { t.resources.byName.clear(); }, std::nullopt},
        {"cannot create the file", [](UpdateRunTest& t) { t.files.createFails = true; }, std::nullopt},
        {"a folder named TmpUp", [](UpdateRunTest& t) { t.files.folders.insert(Temporary); }, std::nullopt},
        {"short write", [](UpdateRunTest& t) { t.files.shortWriteAt = 5; }, Payload.substr(0, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        files = {};
        files.files[Target] = FakeFile{OldExe};
        resources.byName["AF/UPGRADE"] = Payload;
        lines = {};
        c.arrange(*this);
        const auto result = Run();
        EXPECT_EQ(result.outcome, Outcome::ExtractionFailed);
        EXPECT_TRUE(result.targetExe.empty());
        ExpectLines({InstalledLine, UpdatingLine, {"Eroare la extragere fisiere!", true}, Hidden});
        EXPECT_EQ(files.files.at(Target).bytes, OldExe);
        if (c.leftAtTemporary) {
            EXPECT_EQ(files.files.at(Temporary).bytes, *c.leftAtTemporary);  // the partial file stays
        } else {
            EXPECT_EQ(files.files.count(Temporary), 0u);
        }
    }
}

TEST_F(UpdateRunTest, ExtractPayloadLooksTheResourceUpByTypeAndName)
{
    EXPECT_TRUE(update::ExtractPayload(resources, files, "AF", "UpGrade", "C:\\x\\TmpUp"));
    EXPECT_EQ(files.files.at("C:\\x\\TmpUp").bytes, Payload);
    EXPECT_FALSE(update::ExtractPayload(resources, files, "AG", "UpGrade", "C:\\x\\Other"));
    EXPECT_EQ(files.files.count("C:\\x\\Other"), 0u);
    resources.byName["AF/EMPTY"] = "";
    EXPECT_TRUE(update::ExtractPayload(resources, files, "AF", "Empty", "C:\\x\\Empty"));
    EXPECT_EQ(files.files.at("C:\\x\\Empty").bytes, "");
}

TEST_F(UpdateRunTest, StandaloneAsksToCloseTervalonUntilItsExecutableGoes)
{
    files.files[Target].lockedForDeletes = -1;  // Tervalon is running
    asker.answers = {1, 1, 1};
    asker.onAsk = [this](std::size_t call) {
        if (call == 2) files.files[Target].lockedForDeletes = 0;  // closed before the second OK
    };
    const auto result = Run();
    EXPECT_EQ(result.outcome, Outcome::Replaced);
    ASSERT_EQ(asker.asked.size(), 2u);  // OK while it still ran brought the question back
    for (const AskedMessage& message : asker.asked) {
        EXPECT_EQ(message.title, "Actualizare Tervalon");
        EXPECT_EQ(message.text, " Inchideti mai intai programul Tervalon!");
        EXPECT_EQ(message.kind, 0);
        EXPECT_EQ(message.buttons, 0x000C);
    }
    ExpectLines({InstalledLine, UpdatingLine, Hidden, SuccessLine});
    EXPECT_EQ(files.files.at(Target).bytes, Payload);
}

TEST_F(UpdateRunTest, StandaloneCancelKeepsTheOldExecutableAndRemovesTheTemporaryFile)
{
    files.files[Target].lockedForDeletes = -1;
    asker.answers = {1, 2};
    const auto result = Run();
    EXPECT_EQ(result.outcome, Outcome::Cancelled);
    EXPECT_EQ(result.targetExe, Target);
    EXPECT_EQ(asker.asked.size(), 2u);
    ExpectLines({InstalledLine, UpdatingLine, {"Nu pot modifica vechiul executabil!", true}, Hidden});
    EXPECT_EQ(files.files.at(Target).bytes, OldExe);
    EXPECT_EQ(files.files.count(Temporary), 0u);
    EXPECT_EQ(pendingMessageRounds, 0);
}

TEST_F(UpdateRunTest, StandaloneAttributeResetFailureSkipsTheDelete)
{
    files.resetError = 5;  // access denied
    asker.answers = {2};
    EXPECT_EQ(Run().outcome, Outcome::Cancelled);
    for (const std::string& step : files.log) EXPECT_NE(step, "delete " + Target);
    EXPECT_EQ(asker.asked.size(), 1u);
}

TEST_F(UpdateRunTest, StartedByTervalonWaitsWhileItsExecutableIsStillHeld)
{
    install.StartedWithParam = true;
    files.files[Target].lockedForDeletes = 30;  // Tervalon takes three seconds to exit
    const auto result = Run();
    EXPECT_EQ(result.outcome, Outcome::Replaced);
    EXPECT_TRUE(asker.asked.empty());
    EXPECT_EQ(clock.sleeps.size(), 30u);
    for (auto pause : clock.sleeps) EXPECT_EQ(pause, update::DeleteRetryPause);
    EXPECT_EQ(files.files.at(Target).bytes, Payload);
}

TEST_F(UpdateRunTest, StartedByTervalonGivesUpAfterTheWaitLimit)
{
    install.StartedWithParam = true;
    files.files[Target].lockedForDeletes = -1;  // never let go
    const auto result = Run();
    EXPECT_EQ(result.outcome, Outcome::Cancelled);
    EXPECT_GE(clock.now, update::DeleteWaitLimit);
    EXPECT_LT(clock.now, update::DeleteWaitLimit + 2 * update::DeleteRetryPause);
    ExpectLines({InstalledLine, UpdatingLine, {"Nu pot modifica vechiul executabil!", true}, Hidden});
    EXPECT_EQ(files.files.at(Target).bytes, OldExe);
    EXPECT_EQ(files.files.count(Temporary), 0u);
}

TEST_F(UpdateRunTest, AFailedRenameIsReportedAndKeepsTheNewRelease)
{
    for (bool startedByTervalon : {false, true}) {
        files = {};
        files.files[Target] = FakeFile{OldExe};
        files.renameFails = true;
        lines = {};
        install.StartedWithParam = startedByTervalon;
        const auto result = Run();
        EXPECT_EQ(result.outcome, Outcome::RenameFailed);
        EXPECT_EQ(result.targetExe, Target);
        ExpectLines({InstalledLine, UpdatingLine, {"Eroare la inlocuirea executabilului!", true}, Hidden});
        EXPECT_EQ(files.files.at(Temporary).bytes, Payload);
    }
}

}  // namespace
