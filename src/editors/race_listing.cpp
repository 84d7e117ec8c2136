#include "editors/race_listing.h"

#include <cstdio>
#include <fstream>
#include <string_view>

#include "records/race.h"
#include "store/record_file.h"

namespace gw {

namespace {
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kTabs = "\t\t";
}  // namespace

std::string raceListingBlock(const Race& r) {
    using std::to_string;
    std::string b = "\"";
    b += "Number:     " + to_string(r.Number);
    b += kTabs;
    b += "Name:       ";
    // The stored characters as they are: the zero byte and the blanks after it included.
    b.append(r.Name.data(), r.Name.size());
    b += kCrLf;
    b += "Intellect:  " + to_string(r.MinIntellect);
    b += kTabs;
    b += "Willpower:  " + to_string(r.MinWillpower);
    b += kTabs;
    b += "Strength:  " + to_string(r.MinStrength);
    b += kCrLf;
    b += "Health:     " + to_string(r.MinHealth);
    b += kTabs;
    b += "Agility:    " + to_string(r.MinAgility);
    b += kTabs;
    b += "Charm:     " + to_string(r.MinCharm);
    b += kCrLf;
    b += "Exp Chart:  " + to_string(r.ExpChart);
    b += kCrLf;
    b += std::string(52, '-');
    b += '"';
    b += kCrLf;
    return b;
}

bool writeRaceListing(RecordFile& races, const std::string& path) {
    std::remove(path.c_str());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    Status s = races.call(BGETFIRST, "LoadRace, BGETFIRST, Race, Error: ");
    // Any status but 0 ends the walk: the record in memory would be the last one again.
    while (s == status::kSuccess) {
        out << raceListingBlock(races.as<Race>());
        s = races.call(BGETNEXT, "LoadRace, BGETNEXT, Race, Error: ", {status::kEndOfFile});
    }
    out.close();
    return static_cast<bool>(out);
}

}  // namespace gw
