// Start-up: path.txt through the file opener, the park connection and the messages that end the run.
#include "app/Startup.h"
#include "app/FileOpener.h"
#include "base/PathCheck.h"
#include "db/ParkSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tarnwick {
namespace {

class StartupTest : public ::testing::Test {
protected:
    StartupTest() : session(prompter, progress, clock) { session.AppFolder = app.path(); }

    TempDir app;
    ScriptedPrompter prompter;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    Session session;
};

TEST_F(StartupTest, MissingPathFileIsWrittenThenRestartAsked) {
    EXPECT_THROW(StartUp(session), EndProgram);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"A default DataBase Path has been created, Please restart the application.",
                                        "The file written is " + app.file("path.txt") +
                                            "; its first line names the folder of Park.MDB."}));
    EXPECT_EQ(app.read("path.txt"), app.path() + "\r\n" + app.path() + "\r\n");
}

// path.txt stays beside a plain copy that can write there; an installed program, or one that cannot
// write its folder, keeps it in the configuration folder, made then.
TEST(SettingsFolder, BesideAPlainCopyElseInTheConfigurationFolder) {
    TempDir home;
    std::filesystem::create_directories(home.file("copy/bin"));
    std::filesystem::create_directories(home.file("root/usr/bin"));
    std::filesystem::create_directories(home.file("root/usr/share/tarnwick"));
    const std::pair<std::string, bool> places[] = {
        {home.file("copy/bin"), true},      // a build folder, or a copy in the user's own folder
        {"/proc", false},                   // takes no new files, even from root
        {home.file("root/usr/bin"), false}, // an installation unpacked under another root, writable
        {"/usr/bin", false},
        {"/usr/local/bin", false},
    };
    int n = 0;
    for (const auto &[program, beside] : places) {
        const std::string config = home.file("config" + std::to_string(++n));
        EXPECT_EQ(SettingsFolder(program, config), beside ? program : config) << program;
        EXPECT_EQ(PathExists(config), !beside) << program;
        EXPECT_EQ(RunsInstalled(program), program != "/proc" && !beside) << program;
    }
    EXPECT_TRUE(RunsInstalled("/opt/tarnwick/bin"));
    EXPECT_TRUE(std::filesystem::is_empty(home.file("root/usr/bin")));
}

TEST_F(StartupTest, SecondRunOpensParkInApplicationFolder) {
    CreateParkDatabase(app.path());
    EXPECT_THROW(StartUp(session), EndProgram);
    prompter.shown.clear();
    StartUp(session);
    EXPECT_TRUE(session.ParkConnection->IsOpen());
    EXPECT_EQ(session.DbFolder, app.path());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StartupTest, FolderWithoutParkGivesLongMessageAndEnds) {
    TempDir elsewhere;
    app.write("path.txt", elsewhere.path() + "\r\nanything at all\r\n");
    EXPECT_THROW(StartUp(session), EndProgram);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "You have set the Database Path to a location where there is no Park.MDB Database!!!\r\n\r\n"
              "You need to manually edit the file: " +
                  app.path() +
                  "/path.txt  to correct the error.\r\n"
                  "You can also delete the file, and the application will recreate it, but the PARK.MDB must be in "
                  "the application directory.");
    EXPECT_FALSE(elsewhere.exists("Park.MDB"));
}

TEST_F(StartupTest, OneLinePathFileWorks) {
    TempDir park;
    CreateParkDatabase(park.path());
    app.write("path.txt", park.path());
    StartUp(session);
    EXPECT_EQ(session.DbFolder, park.path());
    EXPECT_TRUE(session.ParkConnection->IsOpen());
}

TEST_F(StartupTest, DamagedParkIsReportedAndRunGoesOnWithoutConnection) {
    app.write("Park.MDB", std::string(2048, 'z'));
    app.write("path.txt", app.path() + "\r\n");
    StartUp(session);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text.rfind("CreateRVCon: The Database has an Error!\r\n-2147418113: ", 0), 0u)
        << prompter.shown[0].text;
    EXPECT_FALSE(session.ParkConnection->IsOpen());
}

TEST_F(StartupTest, FileOpenerModes) {
    app.write("in.txt", "one\r\ntwo");
    // Modes outside 1 to 5 open nothing and say nothing.
    EXPECT_EQ(FileOpener(session, app.file("in.txt"), 0, 80), 0);
    EXPECT_EQ(FileOpener(session, app.file("in.txt"), 6, 80), 0);

    short input = FileOpener(session, app.file("in.txt"), ModeInput, 80);
    ASSERT_GT(input, 0);
    short output = FileOpener(session, app.file("out.txt"), ModeOutput, 0);
    EXPECT_NE(output, input);
    session.files.Print(output, session.files.LineInput(input));
    session.files.Close(output);
    short append = FileOpener(session, app.file("out.txt"), ModeAppend, 0);
    session.files.Print(append, session.files.LineInput(input));
    session.files.Close(append);
    EXPECT_TRUE(session.files.Eof(input));
    session.files.Close(input);
    EXPECT_EQ(app.read("out.txt"), "one\r\ntwo\r\n");

    EXPECT_GT(FileOpener(session, app.file("random.dat"), ModeRandom, 128), 0);
    EXPECT_GT(FileOpener(session, app.file("random.dat"), ModeBinary, 0), 0);
    EXPECT_TRUE(prompter.shown.empty());

    // A missing input file becomes the default settings file.
    EXPECT_EQ(FileOpener(session, app.file("missing.txt"), ModeInput, 80), 0);
    EXPECT_EQ(app.read("missing.txt"), app.path() + "\r\n" + app.path() + "\r\n");
}

TEST_F(StartupTest, FileOpenerReportsOtherErrors) {
    EXPECT_EQ(FileOpener(session, app.path(), ModeInput, 80), 0);
    EXPECT_EQ(FileOpener(session, app.file("no/such/folder.txt"), ModeInput, 80), 0);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"FileOpener: Error: 75", "FileOpener: Error: 76"}));
}

} // namespace
} // namespace tarnwick
