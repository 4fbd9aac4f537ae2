// The one place where findings become sentences: one table, each kind one row with its
// severity and its text, each cause one row with its clause. A text's placeholders name what
// fills them, as the pages write them:
//   {OTHER}      the finding's second argument, written as {ARG} is; in a cause's clause, the
//                cause's argument where the finding names another
//   {ARG}        the finding's argument, "x, the second argument" ({ARG,} goes on: "x, the
//                second argument,"; {ARG name}: "x"); in a cause's clause, the cause's argument
//   {N}          the next value, as it is (a number, or a text)
//   {N bytes}    the next value, a count, with its unit: "1 byte", "2 bytes"; also threads,
//                seconds
//   {SIGNAL}     the next value, a signal's number, by its name: "SIGSEGV"
// Values fill the placeholders in the order the names first appear; a name used twice is the
// same value.
#pragma once

#include "finding.h"

#include <span>
#include <string>

struct FindingRow {
    FindingKind kind;
    Severity severity;
    const char* text;
    const char* tallied = nullptr; // what a tally counts ("calls"): " (8 of 9 calls)" after the cause
};

struct CauseRow {
    CauseKind kind;
    const char* text; // a clause, from its first character: " (it exports", ": it took", ", and left"
};

std::span<const FindingRow> findingRows();
std::span<const CauseRow> causeRows();

// The finding in words, its cause after it, without the routine's name and severity.
std::string sentenceOf(const Finding& finding);

// How a page writes a row: each placeholder by its name ("N bytes", "SIGNAL"), the argument as
// `argument` gives it ("ARG, the P argument" on the checking page, "ARG" in the manual).
std::string asThePagesWriteIt(const char* text, const std::string& argument);

// "x, the second argument", or "x" without a position; `within` adds the comma that goes on.
std::string named(const std::string& argument, int position);
std::string namedWithin(const std::string& argument, int position);
// A signal by its name: "SIGSEGV".
std::string signalName(int signal);

// "first" for 1, up to "sixth"; empty beyond.
std::string ordinal(int position);
