// The compiled help file: our own Tarnwick.chm, and files that are missing or cut short.
#include "app/HelpFile.h"
#include "support/ParkFixture.h"

#include <filesystem>

namespace tarnwick {
namespace {

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
