// Whose each export of a library is: the names an author wrote are listed by the "also exports"
// note, the compilers' own names are left out, and a runtime linked in whole is counted.
#include "export_causes.h"

#include <gtest/gtest.h>

namespace {

struct OriginRow {
    const char* name;
    ExportOrigin origin;
};

TEST(ExportOrigins, TellTheAuthorsNamesFromTheCompilersAndTheRuntimes)
{
    const OriginRow rows[] = {
        // The author's, in C, Fortran with bind(C) and C++.
        {"helper", ExportOrigin::Author},
        {"sumdll_", ExportOrigin::Author},
        {"_Z6helperv", ExportOrigin::Author},
        {"_ZN7mylib6helperEv", ExportOrigin::Author},
        {"ConvertMyNumbers", ExportOrigin::Author},
        // What gfortran and LLVM Flang make for a module and its constants.
        {"__mysum_MOD_sumdll", ExportOrigin::CompilersOwn},
        {"_QMmysumPsumdll", ExportOrigin::CompilersOwn},
        {"_QQclX73756D", ExportOrigin::CompilersOwn},
        // LLVM Flang's Fortran runtime: C entries, C++ in namespace Fortran, intrinsic modules.
        {"_FortranAioBeginExternalListOutput", ExportOrigin::FortranRuntime},
        {"_ZN7Fortran7runtime10TerminatorC2EPKci", ExportOrigin::FortranRuntime},
        {"_ZZNK7Fortran7decimal27BigRadixFloatingPointNumberILi24ELi16EE16ConvertToDecimalEPcmNS0_"
         "22DecimalConversionFlagsEiE3lut",
         ExportOrigin::FortranRuntime},
        {"_QM__fortran_type_infoTbinding", ExportOrigin::FortranRuntime},
        {"CFI_establish", ExportOrigin::FortranRuntime},
        {"ConvertDecimalToDouble", ExportOrigin::FortranRuntime},
        // A C++ runtime linked in: std and its abbreviations, vtables, typeinfo, thunks,
        // transaction clones, the ABI's entries, operator new.
        {"_ZNSt6vectorIiSaIiEED2Ev", ExportOrigin::CppRuntime},
        {"_ZNKSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEE4sizeEv", ExportOrigin::CppRuntime},
        {"_ZSt9use_facetISt5ctypeIcEERKT_RKSt6locale", ExportOrigin::CppRuntime},
        {"_ZNSbIwSt11char_traitsIwESaIwEE4swapERS2_", ExportOrigin::CppRuntime},
        {"_ZTVSt9exception", ExportOrigin::CppRuntime},
        {"_ZTIN10__cxxabiv117__class_type_infoE", ExportOrigin::CppRuntime},
        {"_ZThn16_NSdD1Ev", ExportOrigin::CppRuntime},
        {"_ZTv0_n24_NSiD0Ev", ExportOrigin::CppRuntime},
        {"_ZGTtNKSt9exception4whatEv", ExportOrigin::CppRuntime},
        {"_ZN9__gnu_cxx18stdio_sync_filebufIcSt11char_traitsIcEE4syncEv", ExportOrigin::CppRuntime},
        {"__cxa_throw", ExportOrigin::CppRuntime},
        {"__gxx_personality_v0", ExportOrigin::CppRuntime},
        {"_Znwm", ExportOrigin::CppRuntime},
    };
    for (const OriginRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(originOf(row.name), row.origin);
    }
}

} // namespace
