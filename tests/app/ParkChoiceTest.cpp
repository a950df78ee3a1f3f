// The choice of the park's folder: a park opened or made where the operator points, path.txt
// written then and only then, and every folder that cannot serve refused in one sentence.
#include "app/ParkChoice.h"
#include "app/Startup.h"
#include "base/PathCheck.h"
#include "db/OpenEngine.h"
#include "db/ParkSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// The names and sizes of everything under `folder`, to see that nothing was written there.
std::vector<std::string> listing(const std::string &folder) {
    std::vector<std::string> out;
    std::error_code error;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder, error))
        out.push_back(entry.path().string() +
                      (entry.is_regular_file() ? " " + std::to_string(entry.file_size()) : std::string("/")));
    std::sort(out.begin(), out.end());
    return out;
}

class ParkChoiceTest : public ::testing::Test {
protected:
    ParkChoiceTest() : session(prompter, progress, clock) { session.AppFolder = config.path(); }

    TempDir config, parks;
    ScriptedPrompter prompter;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    Session session;
};

struct Refusal {
    const char *name;
    ParkChoice choice;
    // Makes the folder to choose under `parks` and returns it; may script the answers.
    std::function<std::string(const TempDir &parks, ScriptedPrompter &prompter)> prepare;
    bool offered;         // whether the offer to make a park comes before the refusal
    const char *sentence; // FOLDER stands for the chosen folder
};

TEST_F(ParkChoiceTest, FolderThatCannotServeIsRefusedInOneSentenceAndAskedAgain) {
    const Refusal refusals[] = {
        {"not writable", ParkChoice::Open, [](const TempDir &, ScriptedPrompter &) { return std::string("/proc"); },
         false, "Tarnwick cannot make files in FOLDER, so it cannot keep a park there."},
        {"not a park", ParkChoice::Open,
         [](const TempDir &parks, ScriptedPrompter &) {
             std::filesystem::create_directory(parks.file("junk"));
             parks.write("junk/Park.MDB", std::string(3000, 'j'));
             return parks.file("junk");
         },
         false, "The Park.MDB in FOLDER is not a park database, so Tarnwick cannot use it."},
        {"removed before the park is made", ParkChoice::Open,
         [](const TempDir &parks, ScriptedPrompter &prompter) {
             std::filesystem::create_directory(parks.file("gone"));
             prompter.answers = {Answer::Yes, Answer::Yes};
             prompter.onShow = [folder = parks.file("gone")](const Shown &shown) {
                 if (shown.kind == Shown::Question)
                     std::filesystem::remove(folder);
             };
             return parks.file("gone");
         },
         true, "The folder FOLDER is no longer there, so no park was made in it."},
        {"not there at all", ParkChoice::Open,
         [](const TempDir &parks, ScriptedPrompter &) { return parks.file("never"); }, false,
         "There is no folder FOLDER."},
        {"a park already, for a new one", ParkChoice::New,
         [](const TempDir &parks, ScriptedPrompter &) {
             CreateParkDatabase(parks.file("old"));
             return parks.file("old");
         },
         false, "There is a Park.MDB in FOLDER already; a new park needs a folder without one."},
    };
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        TempDir parks;
        ScriptedPrompter prompter;
        Session session(prompter, progress, clock);
        session.AppFolder = config.path();
        session.DbFolder = "/before";
        const std::string folder = refusal.prepare(parks, prompter);
        std::vector<std::string> before = listing(parks.path());
        prompter.folders = {folder, std::nullopt};

        EXPECT_FALSE(ChoosePark(session, refusal.choice));

        const std::string title = refusal.choice == ParkChoice::Open ? kChooseParkTitle : kNewParkTitle;
        std::string sentence = refusal.sentence;
        sentence.replace(sentence.find("FOLDER"), 6, folder);
        std::vector<std::string> expected{title, sentence, title};
        if (refusal.offered)
            expected.insert(expected.begin() + 1,
                            {"There is no Park.MDB in " + folder + ".\r\nDo you want to create an empty park there?",
                             std::string(kParkFormatQuestion) + "\r\n" + kParkFormatNo});
        EXPECT_EQ(prompter.texts(), expected);
        // Nothing written: no park, no folder made again, no path.txt, the session as it was.
        if (!PathExists(folder))
            before.erase(std::remove_if(before.begin(), before.end(),
                                        [&](const std::string &entry) { return entry.rfind(folder, 0) == 0; }),
                         before.end());
        EXPECT_EQ(listing(parks.path()), before);
        EXPECT_EQ(listing(config.path()), std::vector<std::string>{});
        EXPECT_EQ(session.DbFolder, "/before");
        EXPECT_FALSE(session.ParkConnection);
    }
}

TEST_F(ParkChoiceTest, ParkFolderChosenIsOpenedAndWrittenToPathFile) {
    CreateParkDatabase(parks.file("park"));
    prompter.folders = {parks.file("park") + "/"};
    ASSERT_TRUE(ChoosePark(session, ParkChoice::Open));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kChooseParkTitle});
    EXPECT_EQ(session.DbFolder, parks.file("park"));
    EXPECT_TRUE(session.ParkConnection->IsOpen());
    EXPECT_EQ(config.read("path.txt"), parks.file("park") + "\r\n" + parks.file("park") + "\r\n");
}

TEST_F(ParkChoiceTest, EmptyFolderGetsAParkOnlyWhenTheOfferIsAccepted) {
    std::filesystem::create_directory(parks.file("new"));
    prompter.folders = {parks.file("new"), parks.file("new")};
    prompter.answers = {Answer::No, Answer::Yes, Answer::Yes};
    ASSERT_TRUE(ChoosePark(session, ParkChoice::New));
    const std::string offer =
        "There is no Park.MDB in " + parks.file("new") + ".\r\nDo you want to create an empty park there?";
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{kNewParkTitle, offer, kNewParkTitle, offer,
                                                          std::string(kParkFormatQuestion) + "\r\n" + kParkFormatNo}));
    EXPECT_EQ(DetectDatabaseFormat(parks.file("new/Park.MDB")), DatabaseFormat::Jet4) << "Yes makes a Jet 4 park";
    EXPECT_TRUE(session.ParkConnection->IsOpen());
    EXPECT_NO_THROW(RequireParkTables(*session.ParkConnection));
    EXPECT_EQ(config.read("path.txt"), parks.file("new") + "\r\n" + parks.file("new") + "\r\n");
}

// Installed, the first start writes the default path.txt and asks for the park at once; Cancel ends
// the run with the message that names path.txt.
TEST_F(ParkChoiceTest, InstalledStartCancelledEndsWithThePathFileMessage) {
    prompter.folders = {std::nullopt};
    EXPECT_THROW(StartUp(session, NoPark::Choose), EndProgram);
    ASSERT_EQ(prompter.texts().size(), 2u);
    EXPECT_EQ(prompter.texts()[0], kChooseParkTitle);
    EXPECT_EQ(prompter.texts()[1].rfind("You have set the Database Path to a location where there is no Park.MDB "
                                        "Database!!!\r\n\r\nYou need to manually edit the file: " +
                                            config.path() + "/path.txt  to correct the error.",
                                        0),
              0u);
    EXPECT_EQ(config.read("path.txt"), config.path() + "\r\n" + config.path() + "\r\n");
}

} // namespace
} // namespace tarnwick
