// Start-up: path.txt through the file opener, the park connection and the messages that end the run;
// the choice of the park's folder, and the help file found beside the park.
#include "app/Startup.h"
#include "app/FileOpener.h"
#include "app/HelpFile.h"
#include "app/ParkChoice.h"
#include "base/PathCheck.h"
#include "db/OpenEngine.h"
#include "db/ParkSchema.h"
#include "support/ParkFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

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
    };
    int n = 0;
    for (const auto &[program, beside] : places) {
        const std::string config = home.file("config" + std::to_string(++n));
        EXPECT_EQ(SettingsFolder(program, config), beside ? program : config) << program;
        EXPECT_EQ(PathExists(config), !beside) << program;
        EXPECT_EQ(RunsInstalled(program), program != "/proc" && !beside) << program;
    }
    EXPECT_TRUE(std::filesystem::is_empty(home.file("root/usr/bin")));
}

TEST_F(StartupTest, FileOpenerModesAndErrors) {
    app.write("in.txt", "one\r\ntwo");
    // Modes outside 1 to 5 open nothing and say nothing.
    EXPECT_EQ(FileOpener(session, app.file("in.txt"), 0, 80), 0);
    EXPECT_EQ(FileOpener(session, app.file("in.txt"), 6, 80), 0);
    for (const short mode : {ModeInput, ModeOutput, ModeAppend, ModeRandom, ModeBinary})
        EXPECT_GT(FileOpener(session, app.file(mode == ModeInput ? "in.txt" : "f" + std::to_string(mode)), mode, 128),
                  0)
            << mode;
    EXPECT_TRUE(prompter.shown.empty());

    // A missing input file becomes the default settings file; other failures are said by number.
    EXPECT_EQ(FileOpener(session, app.file("missing.txt"), ModeInput, 80), 0);
    EXPECT_EQ(app.read("missing.txt"), app.path() + "\r\n" + app.path() + "\r\n");
    EXPECT_EQ(FileOpener(session, app.path(), ModeInput, 80), 0);
    EXPECT_EQ(FileOpener(session, app.file("no/such/folder.txt"), ModeInput, 80), 0);
    EXPECT_EQ(prompter.texts(), (Texts{"FileOpener: Error: 75", "FileOpener: Error: 76"}));
}

// The choice of the park's folder: a park opened or made where the operator points, path.txt
// written then and only then, and every folder that cannot serve refused in one sentence.
// The names and sizes of everything under `folder`, to see that nothing was written there.
Texts listing(const std::string &folder) {
    Texts out;
    std::error_code error;
    for (const auto &entry : fs::recursive_directory_iterator(folder, error))
        out.push_back(entry.path().string() + (entry.is_regular_file() ? std::to_string(entry.file_size()) : "/"));
    std::sort(out.begin(), out.end());
    return out;
}

TEST(ParkChoiceTest, AParkIsOpenedOrMadeWhereChosenAndEveryFolderThatCannotServeIsRefused) {
    TempDir parks;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    const std::string made = parks.file("made");
    struct Case {
        ParkChoice choice;
        std::string chosen; // in the folder dialog
        std::function<void(ScriptedPrompter &)> prepare;
        bool opens;
        Texts said; // after the dialog's title, FOLDER standing for the folder; after a refusal the title again
    };
    const std::string offer = "There is no Park.MDB in FOLDER.\r\nDo you want to create an empty park there?",
                      format = std::string(kParkFormatQuestion) + "\r\n" + kParkFormatNo;
    // clang-format off
    const Case cases[] = {
        {ParkChoice::Open, parks.file("park") + "/",
         [&](auto &) { CreateParkDatabase(parks.file("park"), ParkFormat::Jet); }, true, {}},
        // No to the offer asks again; Yes makes a Jet 4 park.
        {ParkChoice::New, made, [&](ScriptedPrompter &prompter) {
             fs::create_directory(made);
             prompter.folders.push_front(made);
             prompter.answers = {Answer::No, Answer::Yes, Answer::Yes};
         }, true, {offer, kNewParkTitle, offer, format}},
        {ParkChoice::Open, "/proc", [](auto &) {}, false,
         {"Tarnwick cannot make files in FOLDER, so it cannot keep a park there."}},
        {ParkChoice::Open, parks.file("junk"), [&](auto &) {
             fs::create_directory(parks.file("junk"));
             parks.write("junk/Park.MDB", std::string(3000, 'j'));
         }, false, {"The Park.MDB in FOLDER is not a park database, so Tarnwick cannot use it."}},
        {ParkChoice::Open, parks.file("never"), [](auto &) {}, false, {"There is no folder FOLDER."}},
        {ParkChoice::New, parks.file("park"), [](auto &) {}, false,
         {"There is a Park.MDB in FOLDER already; a new park needs a folder without one."}},
    };
    // clang-format on
    for (const Case &c : cases) {
        const std::string folder = c.chosen.back() == '/' ? c.chosen.substr(0, c.chosen.size() - 1) : c.chosen;
        SCOPED_TRACE(folder);
        TempDir config;
        ScriptedPrompter prompter;
        Session session(prompter, progress, clock);
        session.AppFolder = config.path();
        session.DbFolder = "/before";
        c.prepare(prompter);
        const Texts before = listing(parks.path());
        prompter.folders.push_back(c.chosen);
        prompter.folders.push_back(std::nullopt);

        EXPECT_EQ(ChoosePark(session, c.choice), c.opens);
        const std::string title = c.choice == ParkChoice::Open ? kChooseParkTitle : kNewParkTitle;
        Texts said{title};
        for (std::string text : c.said) {
            if (text.find("FOLDER") != std::string::npos)
                text.replace(text.find("FOLDER"), 6, folder);
            said.push_back(text);
        }
        if (!c.opens)
            said.push_back(title);
        EXPECT_EQ(prompter.texts(), said);
        if (c.opens) {
            EXPECT_EQ(session.DbFolder, folder);
            EXPECT_EQ(DetectDatabaseFormat(folder + "/Park.MDB"), DatabaseFormat::Jet4);
            EXPECT_NO_THROW(RequireParkTables(*session.ParkConnection));
            EXPECT_EQ(config.read("path.txt"), folder + "\r\n" + folder + "\r\n");
            continue;
        }
        // Nothing written: no park, no folder made again, no path.txt, the session as it was.
        EXPECT_EQ(listing(parks.path()), before);
        EXPECT_EQ(listing(config.path()), Texts{});
        EXPECT_EQ(session.DbFolder, "/before");
        EXPECT_FALSE(session.ParkConnection);
    }
}

// The compiled help file: our own Tarnwick.chm, and files that are missing or cut short.
class HelpFileTest : public ParkFixture {};

TEST_F(HelpFileTest, OurFileMapsEveryTopicOfTheWindows) {
    HelpFile help(HELP_FILE);
    EXPECT_EQ(help.title(), "Tarnwick Help");
    const std::map<long, std::string> expected = {{20, "/overview.html"}, {100, "/sitetypes.html"},
                                                  {110, "/sites.html"},   {120, "/guests.html"},
                                                  {130, "/import.html"},  {180, "/export.html"}};
    EXPECT_EQ(help.topics(), expected);
    for (const auto &[topic, page] : expected)
        EXPECT_NE(help.read(help.topicPage(topic)).value_or("").find("<title>"), std::string::npos) << topic;
    EXPECT_EQ(help.topicPage(999), "/overview.html") << "an unmapped number opens the default page";
    ASSERT_EQ(help.contents().size(), 6u);
    EXPECT_EQ(help.contents()[4].name, "Importing text and workbook files");
    EXPECT_EQ(help.contents()[4].local, "/import.html");
}

TEST_F(HelpFileTest, MissingAndDamagedFilesAreReportedByPath) {
    EXPECT_EQ(OpenParkHelp(session), nullptr);
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"The help file " + park.file("Tarnwick.chm") + " could not be found."});
    const std::string whole = TempDir::readFile(HELP_FILE);
    for (std::size_t keep : {std::size_t(0), std::size_t(100), whole.size() / 2, whole.size() - 10}) {
        SCOPED_TRACE(keep);
        prompter.shown.clear();
        park.write("Tarnwick.chm", whole.substr(0, keep));
        std::unique_ptr<HelpFile> help = OpenParkHelp(session);
        if (help) // a cut that leaves the default page whole still opens; every page read is checked
            for (const auto &[topic, page] : help->topics())
                help->read(page);
        else
            EXPECT_EQ(
                prompter.texts().at(0).rfind("The help file " + park.file("Tarnwick.chm") + " could not be read", 0),
                0u);
    }
}

} // namespace
} // namespace tarnwick
