// races.txt byte for byte, through the editor's button and through the export itself.
#include "editors/race_listing.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <fstream>
#include <iterator>
#include <memory>

#include "editor_world.h"
#include "editors/catalogue_windows.h"

namespace gw::test {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RaceListing, BlockHasTheGameLayout) {
    Race r = makeRace(7, "Elf");
    r.MinCharm = -3;
    const std::string name("Elf\0                         ", 29);
    const std::string expected = "\"Number:     7\t\tName:       " + name +
                                 "\r\n"
                                 "Intellect:  701\t\tWillpower:  702\t\tStrength:  703\r\n"
                                 "Health:     704\t\tAgility:    705\t\tCharm:     -3\r\n"
                                 "Exp Chart:  709\r\n" +
                                 std::string(52, '-') + "\"\r\n";
    EXPECT_EQ(raceListingBlock(r), expected);
}

TEST(RaceListing, ButtonWritesEveryRaceInNumberOrderFromAnEmptyFile) {
    EditorWorld w;
    const Race a = makeRace(1, "Elf"), b = makeRace(2, "Dwarf"), c = makeRace(3, "Half Orc");
    w.create(RecordKind::Race, std::vector{c, a, b});
    {
        std::ofstream old("races.txt", std::ios::binary);
        old << std::string(5000, 'x');
    }
    std::unique_ptr<QWidget> editor(createRaceEditor(w.world));
    editor->show();
    auto* print = editor->findChild<QPushButton*>(QStringLiteral("cmdPrintHtml"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->text(), QStringLiteral("Print Html"));

    const std::string expected = raceListingBlock(a) + raceListingBlock(b) + raceListingBlock(c);
    print->click();
    EXPECT_EQ(readFile("races.txt"), expected);
    {
        SCOPED_TRACE("twice gives the same file, and the editor still saves its record");
        setBoxText(editor.get(), QStringLiteral("txtMinCharm"), QStringLiteral("12"));
        print->click();
        EXPECT_EQ(readFile("races.txt"), expected);
        selectRow(editor.get(), 2);
        EXPECT_EQ(w.stored<Race>(RecordKind::Race, 1).MinCharm, 12);
        EXPECT_EQ(w.stored<Race>(RecordKind::Race, 3).MinCharm, c.MinCharm);
    }
    EXPECT_TRUE(w.dialogs.messages().isEmpty());
}

TEST(RaceListing, EmptyFileGivesAnEmptyListingAfterItsMessage) {
    EditorWorld w;
    w.createFile(RecordKind::Race);
    {
        std::ofstream old("races.txt", std::ios::binary);
        old << "old";
    }
    EXPECT_TRUE(writeRaceListing(w.world.file(RecordKind::Race), "races.txt"));
    EXPECT_EQ(readFile("races.txt"), "");
    EXPECT_EQ(w.dialogs.messages(),
              QStringList{QStringLiteral("LoadRace, BGETFIRST, Race, Error: 9")});
    {
        SCOPED_TRACE("an output file that cannot be made is reported");
        EXPECT_FALSE(writeRaceListing(w.world.file(RecordKind::Race), "no/such/dir/races.txt"));
    }
}

}  // namespace
}  // namespace gw::test
