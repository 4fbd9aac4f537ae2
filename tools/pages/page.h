// The teaching pages (docs/passing/) as files, and the recorded calls brought into them.
//
// A page holds sections between marker lines: `<!-- recorded: korvik-test6 -->` up to
// `<!-- end recorded -->` holds the listing of a recorded call (recorded_call.h) in a fenced
// block, `<!-- quoted: console/form1.cpp -->` up to `<!-- end quoted -->` a quotation of a
// file of the project. The picture of a recorded call is pictures/<id>.svg (picture.h).
// Listings and pictures are never edited by hand: they are written from the recording.
#pragma once

#include "recorded_call.h"

#include <filesystem>
#include <string>
#include <vector>

// The pages show the memory of an x86-64 Linux build; on another machine a recording differs
// from them in sizes and registers, and is neither compared with them nor written into them.
#if defined(__x86_64__) && defined(__linux__)
constexpr bool pagesShowThisMachine = true;
#else
constexpr bool pagesShowThisMachine = false;
#endif

// The folder of the pages, and the project's root, which quoted files are named from.
std::filesystem::path pagesFolder();
std::filesystem::path projectRoot();

// The whole file; empty when it cannot be read.
std::string readFile(const std::filesystem::path& file);

// The lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

// The numbered pages, "1-by-own-address.md" to "7-tagged-array.md", in order.
std::vector<std::filesystem::path> numberedPages();

// A section of a page between `<!-- kind: argument -->` and `<!-- end kind -->`.
struct PageSection {
    std::string argument; // "korvik-test6", or a file for a quoted section
    std::string body;     // everything between the two marker lines
    int line;             // the line of the opening marker, from 1
};
// Every section of that kind, in order. Throws std::runtime_error for a section never closed.
std::vector<PageSection> sectionsOf(const std::string& page, const std::string& kind);

// The text between the opening and the closing fence of a fenced block. Throws
// std::runtime_error when the body holds no fenced block.
std::string fencedContent(const std::string& body);

// A file of the pages as it stands, and as it would be if it showed a recorded call.
struct PageChange {
    std::filesystem::path file;
    std::string standing;
    std::string wanted;
};

// The files that do not show `call` as recorded: each page with a section
// `<!-- recorded: id -->` whose listing differs, and the picture pictures/<id>.svg when it
// differs or is missing. Empty when the pages show the call. Throws std::runtime_error when
// no page has a section for the call.
std::vector<PageChange> changesToShow(const RecordedCall& call);

// Where a change lies, for a person to look at: "6-whole-array.md, line 57:" and that line as
// recorded and as the file has it.
std::string describeChange(const PageChange& change);

// Writes the wanted text into the file. Throws std::runtime_error when it cannot.
void writeChange(const PageChange& change);
