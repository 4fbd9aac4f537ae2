// The checker's pure functions as tables: the contract a file's name gives, the usual causes
// of a reach beyond an argument, of a routine not exported, and of a wrong square.
#include "arena.h"
#include "contract_results.h"
#include "contracts.h"
#include "drawn_inputs.h"
#include "export_causes.h"
#include "ostrum_results.h"
#include "reach_causes.h"
#include "shown_texts.h"
#include "square_results.h"
#include "storage_results.h"
#include "sum_results.h"
#include "wording.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct FileRow {
    const char* path;
    const Contract* contract; // null: no contract
};

TEST(ContractOfFile, NamesTheContractOfAFileInAnyFolderAndLetterCase)
{
    const FileRow rows[] = {
        {"libOstrum.so", &ostrumContract},
        {"Ostrum.dll", &ostrumContract},
        {"Ostrum.so", &ostrumContract},
        {"/some/folder/OSTRUM.DLL", &ostrumContract},
        {"./libpettrix.so", &pettrixContract},
        {"build/libMorvane.so", &morvaneContract},
        // Neither .so nor .dll, or another library's name.
        {"libOstrum.so.1", nullptr},
        {"libOstrum.dylib", nullptr},
        {"Ostrum", nullptr},
        {"libKorvik.so", nullptr},
        {"libliblibOstrum.so", nullptr},
        {"Ostrum.so/", nullptr},
    };
    for (const FileRow& row : rows)
        EXPECT_EQ(contractOfFile(row.path), row.contract) << row.path;
}

TEST(ContractNamed, TakesTheNameAsAProgramDeclaresIt)
{
    EXPECT_EQ(contractNamed("Ostrum"), &ostrumContract);
    EXPECT_EQ(contractNamed("ostrum.DLL"), &ostrumContract);
    EXPECT_EQ(contractNamed("PETTRIX"), &pettrixContract);
    EXPECT_EQ(contractNamed("Morvane.dll"), &morvaneContract);
    EXPECT_EQ(contractNamed("Ostrum.so"), nullptr);
    EXPECT_EQ(contractNamed(".dll"), nullptr);
    EXPECT_EQ(contractNamed(""), nullptr);
}

struct KindCauseRow {
    ValueKind layout;
    Side side;
    std::size_t distance;
    const char* clause; // as worded after "by N bytes"; empty for no cause
};

TEST(ReachCauses, NameTheKindTakenForTheOneThatCrosses)
{
    const KindCauseRow rows[] = {
        {VALUE_INT16, Side::End, 2,
         ": it took that argument as a 32-bit integer; declare it int16_t * in C, integer(c_int16_t) in Fortran"},
        {VALUE_INT16, Side::End, 6,
         ": it took that argument as a 64-bit integer; declare it int16_t * in C, integer(c_int16_t) in Fortran"},
        {VALUE_INT32, Side::End, 4,
         ": it took that argument as a 64-bit number; declare it int32_t * in C, integer(c_int32_t) in Fortran"},
        {VALUE_REAL32, Side::End, 4,
         ": it took that argument as a 64-bit real; declare it float * in C, real(c_float) in Fortran"},
        {VALUE_VARIANTS, Side::Start, sizeof(VARIANT),
         ", one element before the first: a loop from 0 over an array that Fortran numbers from 1"},
        // Other distances, other sides, other kinds: no cause.
        {VALUE_INT16, Side::End, 4, ""},
        {VALUE_INT16, Side::Start, 2, ""},
        {VALUE_REAL64, Side::End, 8, ""},
        {VALUE_VARIANTS, Side::End, sizeof(VARIANT), ""},
        {VALUE_VARIANTS, Side::Start, 8, ""},
    };
    for (const KindCauseRow& row : rows) {
        const Finding reach{
            FindingKind::WrotePastEnd, {"a", 1}, {int64_t{1}}, kindCause(row.layout, row.side, row.distance)};
        EXPECT_EQ(sentenceOf(reach), std::string("wrote past the end of a, the first argument, by 1 byte") + row.clause)
            << row.distance;
    }
}

TEST(ReachCauses, NameTheArgumentsAReachFitsInAnotherOrder)
{
    const CallDescription& chara = ostrumCalls.call("chara");
    // 20 bytes from lengthA's start: the characters of textA or textB, with their terminator.
    const Cause fits = orderCause(chara, 2, 20);
    ASSERT_EQ(fits.kind, CauseKind::DeclaredInOtherOrder);
    EXPECT_EQ(sentenceOf({FindingKind::WrotePastEnd, {"lengthA", 2}, {int64_t{16}}, fits}),
              "wrote past the end of lengthA, the second argument, by 16 bytes: 20 bytes from its start, the size of "
              "textA or textB, the first or third argument: the routine declares its arguments in another order; "
              "declare them as the contract does, chara(textA, lengthA, textB, lengthB)");
    // 4 bytes fit lengthB, not lengthA itself.
    EXPECT_EQ(std::get<std::string>(orderCause(chara, 2, 4).values.at(1)), "lengthB");
    // A reach that fits no argument is no cause.
    EXPECT_EQ(orderCause(chara, 2, 7).kind, CauseKind::None);
    EXPECT_EQ(declarationOf(pettrixCalls.call("sumdll")), "sumdll(a, b, c)");
}

struct NameRow {
    const char* exported;
    CauseKind cause;
};

TEST(ExportCauses, ReadTheLikelyCauseFromWhatIsExportedInstead)
{
    const NameRow rows[] = {
        {"sumdll_", CauseKind::GfortranName},
        {"__mysum_MOD_sumdll", CauseKind::ModuleProcedure},
        {"SUMDLL", CauseKind::OtherLetterCase},
        {"sumDll", CauseKind::OtherLetterCase},
        {"_Z6sumdllPsS_S_", CauseKind::CppName},
        {"sumdll2", CauseKind::None},
        {"helper", CauseKind::None},
    };
    for (const NameRow& row : rows) {
        const NameCause found = missingNameCause("sumdll", {"helper", row.exported});
        EXPECT_EQ(found.cause.kind, row.cause) << row.exported;
        EXPECT_EQ(found.exported, row.cause == CauseKind::None ? "" : row.exported) << row.exported;
    }
    EXPECT_EQ(sentenceOf({FindingKind::NotExported, {}, {}, missingNameCause("sumdll", {"_Z6sumdllPsS_S_"}).cause}),
              "is not exported (it exports sumdll(short*, short*, short*), a C++ name: declare it extern \"C\")");
}

TEST(SquareCauses, TellAWideSquareAndANarrowOneInTheWrongBytes)
{
    const double x = 1.1;
    const float narrow = static_cast<float>(x * x);
    double narrowInLowBytes = 0;
    std::memcpy(&narrowInLowBytes, &narrow, sizeof narrow);
    EXPECT_EQ(causeOfSquare(x, x * x), CauseKind::SquareAt64Bits);
    EXPECT_EQ(causeOfSquare(x, narrowInLowBytes), CauseKind::SingleInFirstBytes);
    EXPECT_EQ(causeOfSquare(x, static_cast<double>(narrow)), CauseKind::None);
    EXPECT_EQ(causeOfSquare(x, 0), CauseKind::None);
    EXPECT_EQ(causeOfSquare(x, -x * x), CauseKind::None);
}

// ---- Pettrix's sums, judged from what the clicks left ---------------------------------------

// The clicks of a routine that stores `sum(a, b)` into c, for Tolvan's pair and the checker's.
// The notes come first, in the order of the pairs; the fault of the first wrong pair last.
template <typename Sum>
SumClicks clicksOf(Sum sum, bool addresses = false)
{
    const int16_t pairs[][2] = {{10, 20}, {-7, 3}, {0, 0}, {32767, 0}, {-32768, 5}, {1, -1}, {32767, 1}};
    SumClicks clicks;
    for (const auto& pair : pairs)
        clicks.pairs.push_back({pair[0], pair[1], static_cast<int16_t>(sum(pair[0], pair[1])), addresses});
    clicks.first = clicks.again = clicks.pairs.front();
    return clicks;
}

struct SumsRow {
    const char* what;
    SumClicks clicks;
    const char* shows;
    std::vector<std::string> sentences;
};

TEST(SumResults, NameTheFirstWrongPairAndHowManyThereWere)
{
    SumClicks keepsState = clicksOf([](int a, int b) { return a + b; });
    keepsState.again.c = 60;
    SumClicks saturates = clicksOf([](int a, int b) { return a + b; });
    saturates.pairs.back().c = 32767;
    const SumsRow rows[] = {
        {"a right sum, wrapped outside 16 bits",
         clicksOf([](int a, int b) { return wrappedSum(a, b); }),
         "message boxes read \"a+b=\", then \"30\"",
         {}},
        {"a - b",
         clicksOf([](int a, int b) { return a - b; }),
         "message boxes read \"a+b=\", then \"-10\"",
         {"for a = 32767 and b = 1, whose sum 32768 lies outside 16 bits, c, the third argument, holds 32766 and "
          "Tolvan shows \"32766\"; what it holds then is the routine's own choice",
          "for a = 10 and b = 20, c, the third argument, holds -10, not 30 (Tolvan shows \"-10\") (4 of 6 pairs)"}},
        {"nothing stored",
         clicksOf([](int, int) { return 0; }),
         "message boxes read \"a+b=\", then \"0\"",
         {"for a = 32767 and b = 1, whose sum 32768 lies outside 16 bits, c, the third argument, holds 0 and Tolvan "
          "shows \"0\"; what it holds then is the routine's own choice",
          "for a = 10 and b = 20, c, the third argument, holds 0, not 30 (Tolvan shows \"0\"): it stored nothing "
          "into c, the third argument, for any pair; a routine that takes c by value (Fortran's value attribute, "
          "int16_t c in C) stores into its own copy; declare c without value (4 of 6 pairs)"}},
        {"the addresses added",
         clicksOf([](int, int) { return 1234; }, true),
         "message boxes read \"a+b=\", then a number made of the addresses of a and b, which changes from run to run",
         {"for a = 10 and b = 20, c, the third argument, holds the sum of the low 16 bits of the addresses of a and "
          "b, not 30, and Tolvan shows a number that changes from run to run: it took a and b, the first and second "
          "arguments, by value (Fortran's value attribute); declare them without value (6 of 6 pairs)"}},
        {"a second click that differs",
         keepsState,
         "message boxes read \"a+b=\", then \"30\"",
         {"keeps state between calls: the first click shows \"30\", the second \"60\""}},
        {"a sum outside 16 bits saturated",
         saturates,
         "message boxes read \"a+b=\", then \"30\"",
         {"for a = 32767 and b = 1, whose sum 32768 lies outside 16 bits, c, the third argument, holds 32767 and "
          "Tolvan shows \"32767\"; what it holds then is the routine's own choice"}},
    };
    for (const SumsRow& row : rows) {
        EXPECT_EQ(sumsShow(row.clicks.first), row.shows) << row.what;
        std::vector<std::string> sentences;
        for (const Finding& finding : judgeSums(row.clicks))
            sentences.push_back(sentenceOf(finding));
        EXPECT_EQ(sentences, row.sentences) << row.what;
    }
}

// ---- Morvane's squares, judged from what the calls left ------------------------------------

// The calls of a routine that stores `square(x)` into y, with the right trace, returning with
// the caller's rounding direction or, with `roundingKept` false, with rounding to nearest.
template <typename Square>
SquareCalls callsOf(Square square, bool roundingKept = true, bool traced = true)
{
    SquareCalls calls;
    calls.y = calls.again = square(3.0);
    calls.traced = traced;
    for (const SquareCase& one : squareCases())
        for (const Rounding& rounding : squareRoundings()) {
            SquareMade made{one, rounding, square(one.x), roundingKept ? rounding.direction : FE_TONEAREST, traced, {}};
            if (traced)
                made.lines = {traceRecord1(one.n), traceRecord2(one.x, static_cast<float>(one.x * one.x))};
            calls.made.push_back(made);
        }
    if (traced)
        calls.trace = calls.made.front().lines;
    return calls;
}

struct SquaresRow {
    const char* what;
    SquareCalls calls;
    std::vector<std::string> sentences;
};

TEST(SquareResults, NameTheFirstWrongCallOfEachKindAndHowManyThereWere)
{
    const auto right = [](double x) { return static_cast<double>(static_cast<float>(x * x)); };
    SquareCalls keepsState = callsOf(right);
    keepsState.again = 18;
    const SquaresRow rows[] = {
        {"a right square", callsOf(right), {}},
        {"the square at 64-bit precision, and no trace",
         callsOf([](double x) { return x * x; }, true, false),
         {"for x = 1.1, y, the third argument, holds 1.2100000000000002, not the 32-bit real 1.2100000381469727 "
          "(Vandrel shows \" 1.21\"): the square at 64-bit precision; convert it to a 32-bit real first (2 of 9 calls)",
          "for x = 3, there is no square.dat in the call's directory when the call returns (36 of 36 calls)"}},
        {"nothing stored",
         callsOf([](double) { return 0.0; }),
         {"for x = 3, y, the third argument, holds 0, not the 32-bit real 9 (Vandrel shows \" 0\"): it stored "
          "nothing into y, the third argument, for any call; a routine that takes y by value (Fortran's value "
          "attribute, double y in C) stores into its own copy; declare y without value (8 of 9 calls)"}},
        {"the rounding direction not put back",
         callsOf(right, false),
         {"for x = 3 with the caller's rounding toward zero, the call returned with another rounding direction; put "
          "the caller's back before returning (27 of 36 calls)"}},
        {"a second click that differs",
         keepsState,
         {"keeps state between calls: the first click shows \" 9\", the second \" 18\""}},
    };
    for (const SquaresRow& row : rows) {
        std::vector<std::string> sentences;
        for (const Finding& finding : judgeSquares(row.calls))
            sentences.push_back(sentenceOf(finding));
        EXPECT_EQ(sentences, row.sentences) << row.what;
        // The halves the checker and the routine's process judge give the same findings.
        std::vector<Finding> halves = judgeSquareValues(row.calls);
        for (const Finding& finding : judgeTraces(row.calls))
            halves.push_back(finding);
        EXPECT_EQ(halves, judgeSquares(row.calls)) << row.what;
    }
    const SquareCalls traced = callsOf(right);
    EXPECT_EQ(squaresShow(traced.y, traced.traced, traced.trace),
              "lblresult reads \" 9\"; square.dat ends with \"1\" and \"x =     3   y =     9\"");
    EXPECT_EQ(squaresShow(9, false, {}),
              "lblresult reads \" 9\"; square.dat ends with nothing, for there is no such file");
}

// ---- Ostrum's square and transnumber, judged from what the calls left -----------------------

TEST(OstrumResults, SquareByWhatItsResultFollowsAndHowWideItIs)
{
    SquareResultCalls right{5, 25, std::nullopt, 5, 25, 5, 0};
    float narrow = 25;
    std::memcpy(&right.wide, &narrow, sizeof narrow); // a 32-bit result leaves the high bytes 0
    const OstrumJudged rightJudged = judgeSquareResult(right);
    EXPECT_EQ(rightJudged.shows, "Label1 reads \"xx = 5, xx^2 = 25\"");
    EXPECT_TRUE(rightJudged.findings.empty());

    SquareResultCalls wide = right;
    wide.wide = 25;
    ASSERT_EQ(judgeSquareResult(wide).findings.size(), 1u);
    EXPECT_EQ(sentenceOf(judgeSquareResult(wide).findings.front()),
              "returns a 64-bit real (25) where Korvik reads a 32-bit one, so test 3 shows \"xx = 5, xx^2 = 0\"; "
              "declare the result float (real(c_float) in Fortran)");

    SquareResultCalls keeps = right;
    keeps.againResult = 26;
    ASSERT_EQ(judgeSquareResult(keeps).findings.size(), 1u);
    EXPECT_EQ(
        sentenceOf(judgeSquareResult(keeps).findings.front()),
        "keeps state between calls: the first click shows \"xx = 5, xx^2 = 25\", the second \"xx = 5, xx^2 = 26\"");

    SquareResultCalls followed = wide;
    followed.followedRegister = "xmm0";
    const OstrumJudged byValue = judgeSquareResult(followed);
    ASSERT_EQ(byValue.findings.size(), 1u); // nothing more is judged from a result that is no one number
    EXPECT_EQ(byValue.findings.front().kind, FindingKind::ResultFollowsRegister);
    EXPECT_EQ(byValue.shows,
              "Label1 reads \"xx = 5, xx^2 = \" and then a number that follows whatever xmm0 held, not one number");
}

TEST(OstrumResults, TransnumberByTheAddressItsValueFollows)
{
    // b holds the low 16 bits of a's address in each click; the second and third clicks put a
    // at addresses with the same low bits, so the fourth tells.
    const TransnumberClick atFirst{{0x1230, 0x4560}, {15, 0x1230}};
    const TransnumberClick atSecond{{0x2340, 0x5670}, {15, 0x2340}};
    const TransnumberClick sameLowBits{{0x1230, 0x6780}, {15, 0x1230}};
    const OstrumJudged byValue = judgeTransnumber({15, 0x1230, atFirst, sameLowBits, atSecond});
    ASSERT_EQ(byValue.findings.size(), 1u);
    EXPECT_EQ(sentenceOf(byValue.findings.front()),
              "stored into b, the second argument, the low 16 bits of the address of a, the first argument, not its "
              "value: it took a by value (Fortran's value attribute, or int16_t a in C) where Korvik passes its "
              "address; declare it without value");
    EXPECT_EQ(byValue.shows.rfind("Label2 reads \"15  \" and then a number made of the address of a", 0), 0u)
        << byValue.shows;

    // The same values wherever a and b lie: no address followed; a second click that differs.
    const TransnumberClick same{{0x1230, 0x4560}, {15, 30}};
    const TransnumberClick moved{{0x2340, 0x5670}, {15, 30}};
    EXPECT_TRUE(judgeTransnumber({15, 30, same, moved, moved}).findings.empty());
    const TransnumberClick more{{0x2340, 0x5670}, {16, 32}};
    const OstrumJudged keeps = judgeTransnumber({15, 30, more, moved, moved});
    ASSERT_EQ(keeps.findings.size(), 1u);
    EXPECT_EQ(keeps.findings.front().kind, FindingKind::KeepsState);
}

// ---- Ostrum's chara and xArray, judged from what the calls left ----------------------------

TEST(OstrumResults, CharaByWhatASecondClickShowsAndWhatLengthBHolds)
{
    // Text B's 20 characters, as Korvik passes them, and its zero byte.
    const std::string once = "1aaa" + std::string(16, ' ');
    const std::string twice = "2aaa" + std::string(16, ' ');
    EXPECT_FALSE(judgeCharaAgain(once.c_str(), once.c_str()));
    const std::optional<Finding> keeps = judgeCharaAgain(once.c_str(), twice.c_str());
    ASSERT_TRUE(keeps);
    EXPECT_EQ(keeps->kind, FindingKind::KeepsState);
    EXPECT_FALSE(judgeLengthB(20));
    const std::optional<Finding> changed = judgeLengthB(4);
    ASSERT_TRUE(changed);
    EXPECT_EQ(sentenceOf(*changed),
              "changed lengthB, the fourth argument, from 20 to 4; Korvik does not read it back, "
              "and text B keeps its 20 characters");
}

// Ten elements of one kind with the same payload bits.
std::vector<VARIANT> elementsTagged(VARTYPE kind, void (*fill)(VARIANT&, int))
{
    std::vector<VARIANT> elements(10);
    for (int i = 0; i < 10; ++i) {
        elements[i] = {};
        elements[i].kind = kind;
        fill(elements[i], i + 1);
    }
    return elements;
}

TEST(OstrumResults, XArrayByItsCountAndTheTagsOfItsElements)
{
    const auto shorts = elementsTagged(VT_I2,
                                       [](VARIANT& element, int i) { element.value.i2 = static_cast<int16_t>(i); });
    const auto squares = elementsTagged(VT_R8, [](VARIANT& element, int i) { element.value.r8 = i * i; });
    EXPECT_TRUE(judgeXArray({10, shorts, squares}).empty());

    // A 32-bit real's tag over a 64-bit real's bytes, in every element of y.
    const auto singleTags = elementsTagged(VT_R4, [](VARIANT& element, int i) { element.value.r8 = i * i; });
    const std::vector<Finding> tagged = judgeXArray({10, shorts, singleTags});
    ASSERT_EQ(tagged.size(), 1u);
    EXPECT_EQ(sentenceOf(tagged.front()),
              "tagged element 1 of y, the third argument, a 32-bit real (VT_R4), over the bytes of a 64-bit real "
              "(VT_R8), 1: Korvik shows \"x^2 = 0\"; tag it VT_R8 for the value it holds (10 of 10 elements)");

    const std::vector<Finding> beyond = judgeXArray({11, shorts, squares});
    ASSERT_EQ(beyond.size(), 1u);
    EXPECT_EQ(sentenceOf(beyond.front()),
              "left count, the first argument, at 11, beyond the 10 elements of each array; "
              "Korvik then reports \"Subscript out of range\"");

    EXPECT_FALSE(judgeXArrayAgain({10, shorts, squares}, {10, shorts, squares}));
    const std::optional<Finding> keeps = judgeXArrayAgain({1, shorts, squares}, {2, shorts, squares});
    ASSERT_TRUE(keeps);
    EXPECT_EQ(keeps->kind, FindingKind::KeepsState);
}

// ---- What a routine leaves of an array ------------------------------------------------------

TEST(StorageResults, NameEachDescriptorFieldChangedAndEachElementLeftUnsafe)
{
    SAFEARRAY before{};
    before.dimensions = 1;
    before.elementSize = sizeof(VARIANT);
    before.bounds[0] = {10, 1};
    SAFEARRAY after = before;
    EXPECT_TRUE(descriptorChanges({"array", 2}, before, after).empty());
    after.bounds[0].elementCount = 11;
    after.locks = 1;
    std::vector<std::string> sentences;
    for (const Finding& change : descriptorChanges({"array", 2}, before, after))
        sentences.push_back(sentenceOf(change));
    EXPECT_EQ(sentences,
              (std::vector<std::string>{"changed the descriptor of array, the second argument (its lock count)",
                                        "changed the descriptor of array, the second argument (its element count)"}));

    std::vector<VARIANT> elements(3);
    for (VARIANT& element : elements)
        element = {};
    std::vector<VARIANT> left = elements;
    left[1].kind = VT_R8; // a number the program may hold: fine
    left[1].value.r8 = 2;
    left[2].kind = VT_BSTR; // a text the program did not make
    left[2].value.bits = 0x1234;
    const std::vector<Finding> unsafe = unsafeElements({"y", 3}, elements, left, 1);
    ASSERT_EQ(unsafe.size(), 1u);
    EXPECT_EQ(sentenceOf(unsafe.front()),
              "left element 3 of y, the third argument, with the kind 0x0008, which the "
              "program cannot hold and release safely");
}

// ---- The storage shared with the routine's process, and what the checker reads in it -------

ArenaPiece pieceOf(uint32_t call, std::size_t size, bool readOnly, const char* name, int position)
{
    ArenaPiece piece;
    piece.call = call;
    piece.initial.assign(size, std::byte{0x11});
    piece.alignment = 2;
    piece.readOnly = readOnly;
    piece.argument = {name, position};
    piece.layout = size == 2 ? VALUE_INT16 : VALUE_TEXT;
    return piece;
}

struct SlotRow {
    std::size_t start, area, areaSize, data;
    Side side;
    uint16_t lowBits;
};

TEST(ArenaLayout, PlacesEachPieceBetweenItsGuardsAgainstTheSideOfItsCall)
{
    constexpr std::size_t page = 4096;
    constexpr std::size_t guard = sharedGuardSize;
    const ArenaLayout layout = layOutArena({pieceOf(1, 2, true, "a", 1), pieceOf(1, 5000, false, "text", 2),
                                            pieceOf(2, 2, false, "c", 3), pieceOf(2, 0, false, "none", 4)},
                                           3, page);
    const SlotRow expected[] = {
        {0, guard, page, guard + page - 2, Side::End, page - 2},
        {2 * guard + page, 3 * guard + page, 2 * page, 3 * guard + 3 * page - 5000, Side::End, 3 * page - 5000},
        {4 * guard + 3 * page, 5 * guard + 3 * page, page, 5 * guard + 3 * page, Side::Start, 3 * page},
        {6 * guard + 4 * page, 7 * guard + 4 * page, page, 7 * guard + 4 * page, Side::Start, 4 * page},
    };
    ASSERT_EQ(layout.slots.size(), std::size(expected));
    for (std::size_t i = 0; i < layout.slots.size(); ++i) {
        const ArenaSlot& slot = layout.slots[i];
        SCOPED_TRACE(slot.piece.argument.name);
        EXPECT_EQ(slot.start, expected[i].start);
        EXPECT_EQ(slot.area, expected[i].area);
        EXPECT_EQ(slot.areaSize, expected[i].areaSize);
        EXPECT_EQ(slot.data, expected[i].data);
        EXPECT_EQ(slot.side, expected[i].side);
        EXPECT_EQ(lowAddressBits(slot), expected[i].lowBits);
        EXPECT_EQ(slot.end(), slot.area + slot.areaSize + guard);
    }
    // The markers after the last guard, in a page of their own.
    EXPECT_EQ(layout.markers, 8 * guard + 5 * page);
    EXPECT_EQ(layout.markerCount, 3u);
    EXPECT_EQ(layout.size, layout.markers + page);

    // Filled: every byte the fill but the pieces' own, and the markers unset.
    std::vector<std::byte> bytes(layout.size);
    fillArena(layout, bytes.data());
    std::size_t pieceBytes = 0;
    for (std::size_t at = 0; at < layout.markers; ++at)
        pieceBytes += bytes[at] == std::byte{0x11} ? 1 : 0;
    EXPECT_EQ(pieceBytes, 2u + 5000u + 2u);
    EXPECT_EQ(bytes[layout.slots[0].data - 1], fillByte);
    EXPECT_EQ(bytes[layout.slots[0].data + 2], fillByte);
    EXPECT_EQ(callsReturned(layout, bytes.data()), 0u);
}

// An array passed by reference: its elements, the descriptor that holds their address and the
// variable that holds the descriptor's, as the routine's process will have them; an address
// beyond a piece's bytes or of no piece is laid nowhere.
TEST(ArenaLayout, LaysTheAddressesOfThePiecesThatOthersHoldIntoTheirBytes)
{
    std::vector<ArenaPiece> pieces{pieceOf(1, 160, false, "the elements of array", 2),
                                   pieceOf(1, 24, false, "the descriptor of array", 2),
                                   pieceOf(1, 8, false, "array", 2), pieceOf(1, 8, false, "nothing", 3)};
    pieces[1].pointers.push_back({8, 0});
    pieces[2].pointers.push_back({0, 1});
    pieces[3].pointers = {{4, 0}, {0, 7}}; // past its bytes, and of no piece
    const ArenaLayout layout = layOutArena(pieces, 1, 4096, 24);
    const auto held = [&](std::size_t piece, std::size_t at) {
        std::uintptr_t address = 0;
        std::memcpy(&address, layout.slots[piece].piece.initial.data() + at, sizeof address);
        return address;
    };
    EXPECT_EQ(held(1, 8), routineAddressOf(layout.slots[0]));
    EXPECT_EQ(held(2, 0), routineAddressOf(layout.slots[1]));
    EXPECT_EQ(held(3, 0), 0x1111111111111111u);
    EXPECT_EQ(slotAt(layout, held(2, 0)), &layout.slots[1]);
    EXPECT_EQ(slotAt(layout, held(2, 0) + 1), nullptr);
    // Each piece's reservation after the last one's, guards and pages, none overlapping.
    for (std::size_t i = 0; i < layout.slots.size(); ++i) {
        const ArenaSlot& slot = layout.slots[i];
        EXPECT_EQ(routineAddressOf(slot) & 0xFFFF, lowAddressBits(slot));
        EXPECT_EQ(routineAddressOf(slot), arenaBase + slot.reserved + guardSize + (slot.data - slot.area));
        if (i > 0) {
            EXPECT_EQ(slot.reserved, layout.slots[i - 1].reserved + layout.slots[i - 1].areaSize + 2 * guardSize);
        }
    }
    // The records after the markers, within the file, and the laid bytes are the file's.
    EXPECT_GE(layout.records, layout.markers + layout.markerCount * sizeof(uint32_t));
    EXPECT_LE(layout.records + layout.recordSize, layout.size);
    std::vector<std::byte> bytes(layout.size);
    fillArena(layout, bytes.data());
    std::uintptr_t filled = 0;
    std::memcpy(&filled, bytes.data() + layout.slots[2].data, sizeof filled);
    EXPECT_EQ(filled, routineAddressOf(layout.slots[1]));
}

struct BytesRow {
    const char* what;
    std::size_t slot;  // the piece the change is made beside
    std::ptrdiff_t at; // from the piece's first byte
    std::vector<std::string> sentences;
};

TEST(SharedResults, JudgeTheBytesAroundEachPieceAndWhatItMustOnlyRead)
{
    const ArenaLayout layout = layOutArena(
        {pieceOf(1, 2, true, "a", 1), pieceOf(1, 2, false, "c", 3), pieceOf(2, 2, false, "c", 3)}, 2, 4096);
    const BytesRow rows[] = {
        {"nothing changed", 1, 0, {}},
        {"c itself changed", 1, 0, {}},
        {"a changed", 0, 1, {"wrote into a, the first argument, which it must only read"}},
        {"two bytes past c, in its guard",
         1,
         3,
         {"wrote past the end of c, the third argument, by 2 bytes: it took that argument as a 32-bit integer; "
          "declare it int16_t * in C, integer(c_int16_t) in Fortran"}},
        {"ten bytes past c, in its guard", 1, 11, {"wrote past the end of c, the third argument, by 10 bytes"}},
        {"the last byte of c's guard", 1, 2 + static_cast<std::ptrdiff_t>(sharedGuardSize) - 1,
         {"wrote past the end of c, the third argument, by 4096 bytes"}},
        {"past c in its page, in the second call", 2, 2,
         {"wrote past the end of c, the third argument, by 1 byte"}},
        {"before c, in the guard of the second call", 2, -3, {"wrote before the start of c, the third argument, by 3 bytes"}},
    };
    for (const BytesRow& row : rows) {
        std::vector<std::byte> bytes(layout.size);
        fillArena(layout, bytes.data());
        if (std::string_view(row.what) != "nothing changed")
            bytes[static_cast<std::size_t>(static_cast<std::ptrdiff_t>(layout.slots[row.slot].data) + row.at)] =
                std::byte{0x42};
        std::vector<std::string> sentences;
        for (const Finding& finding : judgeSharedPieces(layout, bytes.data()))
            sentences.push_back(sentenceOf(finding));
        EXPECT_EQ(sentences, row.sentences) << row.what;
    }
}

TEST(SharedResults, CountTheCallsThatReturnedOneAfterAnotherFromTheFirst)
{
    const ArenaLayout layout = layOutArena({pieceOf(1, 2, false, "c", 3)}, 4, 4096);
    const uint32_t returned = static_cast<uint32_t>(CallMark::Returned);
    const uint32_t started = static_cast<uint32_t>(CallMark::Started);
    const struct {
        std::vector<uint32_t> marks;
        std::size_t counted;
    } rows[] = {
        {{0, 0, 0, 0}, 0},
        {{returned, returned, returned, returned}, 4},
        {{returned, returned, started, 0}, 2},
        {{returned, 0, returned, returned}, 1}, // a mark after a call not made says nothing
        {{0x12345678, returned, returned, returned}, 0},
    };
    for (const auto& row : rows) {
        std::vector<std::byte> bytes(layout.size);
        fillArena(layout, bytes.data());
        std::memcpy(bytes.data() + layout.markers, row.marks.data(), row.marks.size() * sizeof(uint32_t));
        EXPECT_EQ(callsReturned(layout, bytes.data()), row.counted);
    }
}

// Morvane's squares as the checker reads them from the shared storage: y of every call of the
// first, and nothing judged of calls that did not all return.
TEST(SharedResults, JudgeSquaresFromTheBytesOfTheCallsThatReturned)
{
    const RoutineCheck& square = morvaneContract.routines.front();
    ASSERT_NE(square.shared, nullptr);
    const SharedPlan plan = square.shared->plan();
    // Vandrel's click, a second, each fixed and each drawn case under each rounding; then the second call.
    EXPECT_EQ(plan.calls, 2 + (squareCases().size() + drawnSquares().size()) * squareRoundings().size() + 1);
    const ArenaLayout layout = layOutArena(plan.pieces, plan.calls, 4096, plan.recordSize);
    ASSERT_EQ(layout.recordSize, (plan.calls - 1) * sizeof(TraceRecord));
    // Each click's y, and the record of a trace written right and the caller's rounding put back.
    const auto leftBy = [&](double (*made)(double)) {
        std::vector<std::byte> bytes(layout.size);
        fillArena(layout, bytes.data());
        for (std::size_t click = 0; click < plan.calls; ++click) {
            double n = 0, x = 0;
            std::memcpy(&n, layout.slots[3 * click].piece.initial.data(), sizeof n);
            std::memcpy(&x, layout.slots[3 * click + 1].piece.initial.data(), sizeof x);
            const double y = made(x);
            std::memcpy(bytes.data() + layout.slots[3 * click + 2].data, &y, sizeof y);
            if (click + 1 == plan.calls)
                break; // the second call's, of which nothing is recorded
            const Rounding& rounding = squareRoundings()[click < 2 ? 0 : (click - 2) % squareRoundings().size()];
            const double shown = rounding.direction == FE_TONEAREST ? double(float(x * x)) : y;
            const TraceRecord record =
                traceRecordOf(rounding.direction, true, {traceRecord1(n), traceRecord2(x, shown)});
            std::memcpy(bytes.data() + layout.records + click * sizeof record, &record, sizeof record);
        }
        return bytes;
    };
    const std::vector<std::byte> right = leftBy([](double x) { return double(float(x * x)); });
    const std::vector<std::byte> wide = leftBy([](double x) { return x * x; });
    EXPECT_TRUE(square.shared->judge(layout, right.data(), plan.calls).findings.empty());
    const SharedJudgement judged = square.shared->judge(layout, wide.data(), plan.calls);
    ASSERT_EQ(judged.findings.size(), 1u);
    EXPECT_EQ(judged.findings.front().kind, FindingKind::SquareWrong);
    EXPECT_EQ(judged.findings.front().cause.kind, CauseKind::SquareAt64Bits);
    EXPECT_TRUE(square.shared->judge(layout, wide.data(), plan.calls - 2).findings.empty());
    // The records are judged too: a click that left another rounding direction, and one whose
    // square.dat was not there.
    std::vector<std::byte> recorded = right;
    TraceRecord third{};
    std::memcpy(&third, recorded.data() + layout.records + 3 * sizeof third, sizeof third);
    third.roundingAfter = FE_TONEAREST;
    std::memcpy(recorded.data() + layout.records + 3 * sizeof third, &third, sizeof third);
    TraceRecord fourth = traceRecordOf(squareRoundings()[2].direction, false, {});
    std::memcpy(recorded.data() + layout.records + 4 * sizeof fourth, &fourth, sizeof fourth);
    std::vector<FindingKind> kinds;
    for (const Finding& finding : square.shared->judge(layout, recorded.data(), plan.calls).findings)
        kinds.push_back(finding.kind);
    EXPECT_EQ(kinds, (std::vector<FindingKind>{FindingKind::TraceMissing, FindingKind::RoundingNotPutBack}));
}

// Pettrix's sums as the checker reads them from the shared storage: c from the bytes, a and b as
// passed; nothing judged of calls that did not all return.
TEST(SharedResults, JudgeSumsFromTheBytesOfTheClicksThatReturned)
{
    const RoutineCheck& sumdll = pettrixContract.routines.front();
    ASSERT_NE(sumdll.shared, nullptr);
    const SharedPlan plan = sumdll.shared->plan();
    const ArenaLayout layout = layOutArena(plan.pieces, plan.calls, 4096);
    ASSERT_EQ(layout.slots.size(), 3 * plan.calls);
    const auto leftBy = [&](int16_t (*sum)(int16_t, int16_t)) {
        std::vector<std::byte> bytes(layout.size);
        fillArena(layout, bytes.data());
        for (std::size_t click = 0; click < plan.calls; ++click) {
            int16_t a = 0, b = 0;
            std::memcpy(&a, layout.slots[3 * click].piece.initial.data(), sizeof a);
            std::memcpy(&b, layout.slots[3 * click + 1].piece.initial.data(), sizeof b);
            const int16_t c = sum(a, b);
            std::memcpy(bytes.data() + layout.slots[3 * click + 2].data, &c, sizeof c);
        }
        return bytes;
    };
    const auto sentencesOf = [](const SharedJudgement& judged) {
        std::vector<std::string> sentences;
        for (const Finding& finding : judged.findings)
            sentences.push_back(sentenceOf(finding));
        return sentences;
    };
    const std::vector<std::byte> right = leftBy([](int16_t a, int16_t b) { return wrappedSum(a, b); });
    const std::vector<std::byte> subtracted =
        leftBy([](int16_t a, int16_t b) { return static_cast<int16_t>(a - b); });

    const SharedJudgement rightAll = sumdll.shared->judge(layout, right.data(), plan.calls);
    EXPECT_EQ(sentencesOf(rightAll), std::vector<std::string>{});
    EXPECT_EQ(rightAll.shows, "message boxes read \"a+b=\", then \"30\"");

    const SharedJudgement wrongAll = sumdll.shared->judge(layout, subtracted.data(), plan.calls);
    ASSERT_FALSE(wrongAll.findings.empty());
    EXPECT_EQ(sentenceOf(wrongAll.findings.back()),
              "for a = 10 and b = 20, c, the third argument, holds -10, not 30 (Tolvan shows \"-10\") (7 of 9 pairs)");
    EXPECT_EQ(wrongAll.shows, "message boxes read \"a+b=\", then \"-10\"");

    // Only the first click returned: what it shows is said, no sum is judged.
    const SharedJudgement firstOnly = sumdll.shared->judge(layout, subtracted.data(), 1);
    EXPECT_TRUE(firstOnly.findings.empty());
    EXPECT_EQ(firstOnly.shows, "message boxes read \"a+b=\", then \"-10\"");
    // None returned: nothing said at all, though the slots hold what a right routine leaves.
    const SharedJudgement none = sumdll.shared->judge(layout, right.data(), 0);
    EXPECT_TRUE(none.findings.empty());
    EXPECT_TRUE(none.shows.empty());
}

} // namespace

namespace {

// The inputs drawn at random: the same for a seed, others for another, within their ranges.
TEST(DrawnInputs, ASeedDrawsTheSameInputsWithinTheirRanges)
{
    for (const uint64_t seed : {uint64_t{0}, uint64_t{1}, uint64_t{42}, UINT64_MAX}) {
        SCOPED_TRACE(seed);
        setInputSeed(seed);
        EXPECT_EQ(inputSeed(), seed);
        const std::vector<DrawnPair> pairs = drawnPairs();
        const std::vector<DrawnSquare> squares = drawnSquares();
        ASSERT_EQ(pairs.size(), 3u);
        ASSERT_EQ(squares.size(), 2u);
        for (const DrawnPair& pair : pairs) {
            EXPECT_TRUE(pair.a >= -16384 && pair.a <= 16383 && pair.b >= -16384 && pair.b <= 16383);
            EXPECT_EQ(wrappedSum(pair.a, pair.b), pair.a + pair.b) << "a sum outside 16 bits";
        }
        for (const DrawnSquare& square : squares) {
            EXPECT_TRUE(square.n >= 1 && square.n <= 999 && square.n == std::floor(square.n)) << square.n;
            EXPECT_TRUE(square.x >= -1000 && square.x <= 1000) << square.x;
            EXPECT_DOUBLE_EQ(std::round(square.x * 100) / 100, square.x);
        }
        // Drawn again from the same seed: the same.
        const std::vector<DrawnPair> again = drawnPairs();
        for (std::size_t i = 0; i < pairs.size(); ++i)
            EXPECT_TRUE(again[i].a == pairs[i].a && again[i].b == pairs[i].b);
    }
    // The pair the tables' seed draws first, which the tests' expected lines name.
    setInputSeed(1);
    EXPECT_EQ(drawnPairs()[0].a, -2166);
    EXPECT_EQ(drawnPairs()[0].b, -7038);
    setInputSeed(2);
    EXPECT_NE(drawnPairs()[0].a, -2166);
    EXPECT_LT(freshSeed(), uint64_t{1000000000000});
}

} // namespace
