// The checker's pure functions as tables: the contract a file's name gives, the usual causes
// of a reach beyond an argument, of a routine not exported, and of a wrong square.
#include "contract_results.h"
#include "contracts.h"
#include "export_causes.h"
#include "reach_causes.h"
#include "wording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

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
        {VALUE_INT16, Side::End, 2, ": it took that argument as a 32-bit integer; declare it int16_t * in C, integer(c_int16_t) in Fortran"},
        {VALUE_INT16, Side::End, 6, ": it took that argument as a 64-bit integer; declare it int16_t * in C, integer(c_int16_t) in Fortran"},
        {VALUE_INT32, Side::End, 4, ": it took that argument as a 64-bit number; declare it int32_t * in C, integer(c_int32_t) in Fortran"},
        {VALUE_REAL32, Side::End, 4, ": it took that argument as a 64-bit real; declare it float * in C, real(c_float) in Fortran"},
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
        const Finding reach{FindingKind::WrotePastEnd, {"a", 1}, {int64_t{1}}, kindCause(row.layout, row.side, row.distance)};
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

} // namespace
