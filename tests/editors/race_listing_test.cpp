// races.txt byte for byte, through the editor's button and through the export itself.
#include "editors/race_listing.h"

#include <fstream>
#include <iterator>

#include "editors/catalogue_windows.h"
#include "gui_test.h"

namespace gw::test {
namespace {

std::string contents(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RaceListing, BlockHasTheGameLayout) {
    Race r = makeRace(7, "Elf");
    r.MinCharm = -3;
    EXPECT_EQ(raceListingBlock(r),
              "\"Number:     7\t\tName:       " + std::string("Elf\0", 4) + std::string(25, ' ') +
                  "\r\nIntellect:  701\t\tWillpower:  702\t\tStrength:  703\r\n"
                  "Health:     704\t\tAgility:    705\t\tCharm:     -3\r\n"
                  "Exp Chart:  709\r\n" +
                  std::string(52, '-') + "\"\r\n");
}

using RaceListingTest = GuiTest;

TEST_F(RaceListingTest, ReplacesTheFileWithEveryRaceInNumberOrder) {
    const Race a = makeRace(1, "Elf"), b = makeRace(2, "Dwarf"), c = makeRace(3, "Half Orc");
    create({RecordKind::Race});
    for (const Race& r : {c, a, b}) add(RecordKind::Race, r);
    std::ofstream("races.txt", std::ios::binary) << std::string(5000, 'x');
    open(createRaceEditor);
    click("cmdPrintHtml");
    EXPECT_EQ(contents("races.txt"),
              raceListingBlock(a) + raceListingBlock(b) + raceListingBlock(c));
    EXPECT_EQ(said(), "");
}

}  // namespace
}  // namespace gw::test
