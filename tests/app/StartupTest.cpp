// Start-up: path.txt through the file opener, the park connection and the messages that end the run.
#include "app/Startup.h"
#include "app/FileOpener.h"
#include "app/ParkChoice.h"
#include "base/PathCheck.h"
#include "db/ParkSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

class StartupTest : public ::testing::Test {
protected:
    StartupTest() : session(prompter, progress, clock) { session.AppFolder = app.path(); }

    TempDir app;
    ScriptedPrompter prompter;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    Session session;
};

// What path.txt names decides the run: a park opened, the message that sends the operator to
// path.txt, or the database's error with the run going on without a park. A missing path.txt is
// written with the default, and the program asks to be started again or, installed, asks for the
// park's folder at once, a Cancel ending the run.
TEST_F(StartupTest, WhatPathFileNamesDecidesTheRun) {
    TempDir elsewhere, park, damaged;
    CreateParkDatabase(park.path());
    damaged.write("Park.MDB", std::string(2048, 'z'));
    const std::string noPark =
        "You have set the Database Path to a location where there is no Park.MDB Database!!!\r\n\r\nYou need to "
        "manually edit the file: " +
        app.path() +
        "/path.txt  to correct the error.\r\nYou can also delete the file, and the application will recreate it, "
        "but the PARK.MDB must be in the application directory.";
    const std::tuple<std::string, NoPark, std::string, bool, bool> cases[] = {
        // path.txt, what a folder without a park does, said, ends, opens
        {"", NoPark::End,
         "A default DataBase Path has been created, Please restart the application.\nThe file written is " +
             app.file("path.txt") + "; its first line names the folder of Park.MDB.",
         true, false},
        {"", NoPark::Choose, kChooseParkTitle + std::string("\n") + noPark, true, false},
        {park.path(), NoPark::End, "", false, true}, // one line is enough
        {elsewhere.path() + "\r\nanything at all\r\n", NoPark::End, noPark, true, false},
        {damaged.path() + "\r\n", NoPark::End, "CreateRVCon: The Database has an Error!\r\n-2147418113: ", false,
         false},
    };
    for (const auto &[pathFile, noParkThen, said, ends, opens] : cases) {
        SCOPED_TRACE(pathFile);
        prompter.shown.clear();
        prompter.folders = {std::nullopt};
        std::filesystem::remove(app.file("path.txt"));
        if (!pathFile.empty())
            app.write("path.txt", pathFile);
        Session session(prompter, progress, clock);
        session.AppFolder = app.path();
        if (ends)
            EXPECT_THROW(StartUp(session, noParkThen), EndProgram);
        else
            StartUp(session, noParkThen);
        std::string texts;
        for (const std::string &text : prompter.texts())
            texts += (texts.empty() ? "" : "\n") + text;
        EXPECT_EQ(texts.substr(0, said.size()), said);
        EXPECT_EQ(texts.empty(), said.empty());
        EXPECT_EQ(session.ParkConnection && session.ParkConnection->IsOpen(), opens);
        if (pathFile.empty())
            EXPECT_EQ(app.read("path.txt"), app.path() + "\r\n" + app.path() + "\r\n");
    }
    EXPECT_FALSE(elsewhere.exists("Park.MDB"));
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

TEST_F(StartupTest, FileOpenerModesAndErrors) {
    app.write("in.txt", "one\r\ntwo");
    // Modes outside 1 to 5 open nothing and say nothing.
    EXPECT_EQ(FileOpener(session, app.file("in.txt"), 0, 80), 0);
    EXPECT_EQ(FileOpener(session, app.file("in.txt"), 6, 80), 0);
    short input = FileOpener(session, app.file("in.txt"), ModeInput, 80);
    ASSERT_GT(input, 0);
    for (const short mode : {ModeOutput, ModeAppend}) { // the second adds to what the first wrote
        const short output = FileOpener(session, app.file("out.txt"), mode, 0);
        session.files.Print(output, session.files.LineInput(input));
        session.files.Close(output);
    }
    EXPECT_EQ(app.read("out.txt"), "one\r\ntwo\r\n");
    EXPECT_GT(FileOpener(session, app.file("random.dat"), ModeRandom, 128), 0);
    EXPECT_GT(FileOpener(session, app.file("random.dat"), ModeBinary, 0), 0);
    EXPECT_TRUE(prompter.shown.empty());

    // A missing input file becomes the default settings file; other failures are said by number.
    EXPECT_EQ(FileOpener(session, app.file("missing.txt"), ModeInput, 80), 0);
    EXPECT_EQ(app.read("missing.txt"), app.path() + "\r\n" + app.path() + "\r\n");
    EXPECT_EQ(FileOpener(session, app.path(), ModeInput, 80), 0);
    EXPECT_EQ(FileOpener(session, app.file("no/such/folder.txt"), ModeInput, 80), 0);
    EXPECT_EQ(prompter.texts(), (Texts{"FileOpener: Error: 75", "FileOpener: Error: 76"}));
}

} // namespace
} // namespace tarnwick
