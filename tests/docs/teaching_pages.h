// The teaching pages (docs/passing/) and the recordings behind them.
//
// Each page shows, for one call of a program, the bytes that crossed as a listing and the
// memory at the moment of the call as a picture. Both are made here from the record a
// recording double kept of that call (recording.h), never typed by hand: a test compares
// them with the page and its picture, and with UPDATE_TEACHING_PAGES set in the environment
// it writes them there instead (the build target update_teaching_pages does that).
#pragma once

#include "recording.h"

#include <filesystem>
#include <string>
#include <vector>

// What the caller calls a region the routine reached, and where the picture draws it.
struct RegionName {
    std::string name; // the caller's name for it: "nTemporary", "x's descriptor"
    int column = 1; // the picture's column; the call itself stands in column 0
    // For consecutive VARIANT elements: the array's name and the index of the first element
    // recorded, so that element k is called "x(first + k)".
    std::string arrayName = {};
    int firstIndex = 1;
};

// A parameter whose storage the recording does not see, and why.
struct UnrecordedParameter {
    std::string parameter; // "nn"
    std::string name; // the caller's name for its storage: "n"
    std::string why;
};

// One recorded call as a page shows it.
struct RecordedCall {
    std::string id; // names the page section and the picture: "korvik-test6"
    std::string calledBy; // "Korvik, Start(6)"
    std::string routine; // "yArray"
    std::vector<std::string> parameters; // as the contract names them: {"count", "array"}
    // One per recorded region, in the order recorded; a parameter that no region is reached
    // through is shown as not recorded.
    std::vector<RegionName> regions;
    // For a routine called the C way on this machine: the registers that carry its arguments
    // are named in the picture.
    bool argumentsInRegisters = true;
    std::vector<UnrecordedParameter> unrecorded = {};
};

// The listing of the bytes that crossed: per region the expression that reached it, the
// caller's name and size, then its bytes with offsets, one field or element per line.
// Addresses are named, not shown, since they differ from run to run.
std::string listingOf(const RecordedCall& call, const Recording& recording);

// The picture of the memory at the call, as SVG.
std::string pictureOf(const RecordedCall& call, const Recording& recording);

// Checks that the recording holds what `call` describes (the routine, one region per name,
// every region kept whole, every address it holds pointing into a recorded region), then
// compares the listing with every section `<!-- recorded: id -->` of the pages and the
// picture with pictures/<id>.svg; or writes both when UPDATE_TEACHING_PAGES is set.
void expectPagesShow(const RecordedCall& call, const Recording& recording);

// ---- The pages as text -------------------------------------------------------------------

// The folder of the pages, and the project's root, which quoted files are named from.
std::filesystem::path pagesFolder();
std::filesystem::path projectRoot();

std::string readFile(const std::filesystem::path& file);

// The lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

// The numbered pages, "1-by-own-address.md" to "7-tagged-array.md", in order.
std::vector<std::filesystem::path> numberedPages();

// A section of a page between `<!-- kind: argument -->` (or `<!-- kind argument -->`) and
// `<!-- end kind -->`.
struct PageSection {
    std::string argument; // "korvik-test6", or a file for a quoted section
    std::string body; // everything between the two marker lines
    int line; // the line of the opening marker, from 1
};
std::vector<PageSection> sectionsOf(const std::string& page, const std::string& kind);

// The text between the opening and the closing fence of a fenced block.
std::string fencedContent(const std::string& body);
