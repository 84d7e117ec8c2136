#pragma once
// The race listing, races.txt: one quoted block per race in ascending number, plain text
// despite the button's caption. Free of Qt so that its bytes can be checked exactly.
#include <string>

namespace gw {

struct Race;
class RecordFile;

// One race's block as written: '"', four lines ended CR LF, 52 hyphens, '"', CR LF.
std::string raceListingBlock(const Race& race);

// Writes the listing of every race in `races` to `path`, replacing any earlier file. Read
// failures are reported through the file's reporter and end the walk; the result is false
// when the output file could not be written.
bool writeRaceListing(RecordFile& races, const std::string& path);

}  // namespace gw
