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
#include "support/RunCli.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// A park's folder with its session; path.txt is read from another folder.
class StartupTest : public ParkFixture {};

// What path.txt names decides the run: a park opened, the message that sends the operator to
// path.txt, or the database's error with the run going on without a park. A missing path.txt is
// written with the default, and the program asks to be started again or, installed, asks for the
// park's folder at once, a Cancel ending the run.
TEST_F(StartupTest, WhatPathFileNamesDecidesTheRun) {
    TempDir app, elsewhere, damaged;
    damaged.write("Park.MDB", std::string(2048, 'z'));
    const std::string noPark =
        "You have set the Database Path to a location where there is no Park.MDB Database!!!\r\n\r\n"
        "You need to manually edit the file: " +
        app.file("path.txt") +
        "  to correct the error.\r\nYou can also delete the file, and the application will "
        "recreate it, but the PARK.MDB must be in the application directory.";
    const Texts restart = {"A default DataBase Path has been created, Please restart the application.",
                           "The file written is " + app.file("path.txt") +
                               "; its first line names the folder of Park.MDB."};
    const std::string error = "CreateRVCon: The Database has an Error!\r\n-2147418113: Unrecognized database format '" +
                              damaged.file("Park.MDB") + "'.";
    const std::tuple<std::string, NoPark, bool, bool, Texts> cases[] = {
        // path.txt, what a folder without a park does, ends, opens, said
        {"", NoPark::End, true, false, restart},
        {"", NoPark::Choose, true, false, {kChooseParkTitle, noPark}},
        {park.path(), NoPark::End, false, true, {}}, // one line is enough
        {elsewhere.path() + "\r\nanything at all\r\n", NoPark::End, true, false, {noPark}},
        {damaged.path() + "\r\n", NoPark::End, false, false, {error}},
    };
    for (const auto &[pathFile, noParkThen, ends, opens, said] : cases) {
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
        EXPECT_EQ(prompter.texts(), said);
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
    for (const char *folder : {"copy/bin", "root/usr/bin", "root/usr/share/tarnwick"})
        std::filesystem::create_directories(home.file(folder));
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
    park.write("in.txt", "one\r\ntwo");
    // Modes 1 to 5 open their file; those outside open nothing, and none says anything.
    const std::pair<short, const char *> modes[] = {{0, "in.txt"},       {ModeOutput, "out"},    {ModeInput, "in.txt"},
                                                    {ModeAppend, "add"}, {ModeRandom, "random"}, {ModeBinary, "binary"},
                                                    {6, "in.txt"}};
    for (const auto &[mode, file] : modes)
        EXPECT_EQ(FileOpener(session, park.file(file), mode, 128) > 0, mode >= 1 && mode <= 5) << mode;
    EXPECT_TRUE(prompter.shown.empty());

    // Failures other than a missing input file (see path.txt above) are said by number.
    EXPECT_EQ(FileOpener(session, park.path(), ModeInput, 80), 0);
    EXPECT_EQ(FileOpener(session, park.file("no/such/folder.txt"), ModeInput, 80), 0);
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
    const std::string made = parks.file("made"), gone = parks.file("gone");
    CreateParkDatabase(parks.file("park"), ParkFormat::Jet);
    fs::create_directory(parks.file("junk"));
    parks.write("junk/Park.MDB", std::string(3000, 'j'));
    struct Case {
        ParkChoice choice;
        std::string chosen; // in the folder dialog
        bool opens;
        Texts said; // after the dialog's title; after a refusal the title again
        std::function<void(ScriptedPrompter &)> prepare = [](ScriptedPrompter &) {};
    };
    const auto offer = [](const std::string &folder) {
        return "There is no Park.MDB in " + folder + ".\r\nDo you want to create an empty park there?";
    };
    const std::string format = std::string(kParkFormatQuestion) + "\r\n" + kParkFormatNo;
    // clang-format off
    const Case cases[] = {
        {ParkChoice::Open, parks.file("park") + "/", true, {}},
        // No to the offer asks again; Yes makes a Jet 4 park.
        {ParkChoice::New, made, true, {offer(made), kNewParkTitle, offer(made), format}, [&](ScriptedPrompter &prompter) {
             fs::create_directory(made);
             prompter.folders.push_front(made);
             prompter.answers = {Answer::No, Answer::Yes, Answer::Yes};
         }},
        {ParkChoice::Open, "/proc", false, {"Tarnwick cannot make files in /proc, so it cannot keep a park there."}},
        {ParkChoice::Open, parks.file("junk"), false,
         {"The Park.MDB in " + parks.file("junk") + " is not a park database, so Tarnwick cannot use it."}},
        // The folder removed while the questions waited is not made again.
        {ParkChoice::Open, gone, false,
         {offer(gone), format, "The folder " + gone + " is no longer there, so no park was made in it."},
         [&](ScriptedPrompter &prompter) {
             fs::create_directory(gone);
             prompter.answers = {Answer::Yes, Answer::Yes};
             prompter.onShow = [&](const Shown &shown) { if (shown.kind == Shown::Question) fs::remove(gone); };
         }},
        {ParkChoice::Open, parks.file("never"), false, {"There is no folder " + parks.file("never") + "."}},
        {ParkChoice::New, parks.file("park"), false,
         {"There is a Park.MDB in " + parks.file("park") + " already; a new park needs a folder without one."}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chosen);
        TempDir config;
        ScriptedPrompter prompter;
        Session session(prompter, progress, clock);
        session.AppFolder = config.path();
        session.DbFolder = "/before";
        const Texts before = listing(parks.path());
        c.prepare(prompter);
        prompter.folders.push_back(c.chosen);
        prompter.folders.push_back(std::nullopt);

        EXPECT_EQ(ChoosePark(session, c.choice), c.opens);
        const std::string title = c.choice == ParkChoice::Open ? kChooseParkTitle : kNewParkTitle;
        Texts said{title};
        said.insert(said.end(), c.said.begin(), c.said.end());
        if (!c.opens)
            said.push_back(title);
        EXPECT_EQ(prompter.texts(), said);
        if (c.opens) {
            const std::string folder = c.chosen.back() == '/' ? c.chosen.substr(0, c.chosen.size() - 1) : c.chosen;
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

// The compiled help file: our own Tarnwick.chm, another one made here with a map and a default page
// of its own, and files that are missing or cut short.
using HelpFileTest = StartupTest;

// Each file's title and topic map; an unmapped number opens the default page, not the first one. A
// file missing or cut short is reported by its path.
TEST_F(HelpFileTest, EachFileMapsItsOwnTopicsAndOneMissingOrCutShortIsReportedByPath) {
    park.write("p.hhp", "[OPTIONS]\nCompiled file=Other.chm\nDefault topic=b.htm\nTitle=Other\n\n[FILES]\na.htm\n"
                        "b.htm\n\n[ALIAS]\nA=a.htm\nB=b.htm\n\n[MAP]\n#define A 20\n#define B 7\n");
    for (const char *page : {"a", "b"})
        park.write(page + std::string(".htm"), "<html><head><title>" + std::string(page) + "</title></head></html>");
    RunProgram("/bin/sh", "-c \"cd '" + park.path() + "' && chmcmd p.hhp\"");
    const std::map<long, std::string> ours = {{20, "/overview.html"}, {100, "/sitetypes.html"}, {110, "/sites.html"},
                                              {120, "/guests.html"},  {130, "/import.html"},    {180, "/export.html"}};
    const std::tuple<std::string, std::string, std::map<long, std::string>, std::string> files[] = {
        {HELP_FILE, "Tarnwick Help", ours, "/overview.html"},
        {park.file("Other.chm"), "Other", {{7, "/b.htm"}, {20, "/a.htm"}}, "/b.htm"}};
    for (const auto &[path, title, topics, unmapped] : files) {
        SCOPED_TRACE(path);
        HelpFile help(path);
        EXPECT_EQ(help.title(), title);
        EXPECT_EQ(help.topics(), topics);
        for (const auto &[topic, page] : topics) {
            EXPECT_EQ(help.topicPage(topic), page);
            EXPECT_NE(help.read(page).value_or("").find("<title>"), std::string::npos) << page;
        }
        EXPECT_EQ(help.topicPage(999), unmapped);
    }
    const HelpFile shipped(HELP_FILE);
    ASSERT_EQ(shipped.contents().size(), 6u);
    EXPECT_EQ(shipped.contents()[4].name, "Importing text and workbook files");
    EXPECT_EQ(shipped.contents()[4].local, "/import.html");

    // Ours missing beside the park, or cut short, is reported by its path.
    const std::string whole = TempDir::readFile(HELP_FILE), named = "The help file " + park.file("Tarnwick.chm");
    EXPECT_EQ(OpenParkHelp(session), nullptr);
    EXPECT_EQ(prompter.texts(), Texts{named + " could not be found."});
    for (std::size_t keep : {std::size_t(0), std::size_t(100), whole.size() / 2, whole.size() - 10}) {
        SCOPED_TRACE(keep);
        prompter.shown.clear();
        park.write("Tarnwick.chm", whole.substr(0, keep));
        std::unique_ptr<HelpFile> help = OpenParkHelp(session);
        if (help) // a cut that leaves the default page whole still opens; every page read is checked
            for (const auto &[topic, page] : help->topics())
                help->read(page);
        else
            EXPECT_EQ(prompter.texts().at(0).rfind(named + " could not be read", 0), 0u);
    }
}

} // namespace
} // namespace tarnwick
