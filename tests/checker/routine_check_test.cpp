// routine-check on libraries with one fault each, on sound ones, and on what is no library.
// Each run goes through the real command; a row fails when the line a learner would read,
// or the exit status, is not the one expected.
#include "checker_run.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Starts routine-check (the built one unless `checker` names a copy) with `arguments` in the
// current directory, with TMPDIR pointing at `temporary` and its output going to `outputFile`
// and `errorFile`. A stream named in `closed` (0, 1 or 2) is closed instead.
pid_t startChecker(const std::vector<std::string>& arguments, const std::filesystem::path& temporary,
                   const std::string& outputFile, const std::string& errorFile,
                   const std::string& checker = CHECKER, int closed = -1)
{
    std::vector<std::string> words{checker};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return startWithOutput(words, {"TMPDIR=" + temporary.string()}, outputFile, errorFile, closed);
}

// The seed of the inputs drawn at random in every run of the tables, so that each expected
// line, tallies included, is the same from run to run.
constexpr const char* tablesSeed = "1";

// Runs routine-check to its end and collects its output and exit status; without a --seed of
// its own, with the tables' seed.
CheckerRun check(std::vector<std::string> arguments, const std::filesystem::path& temporary,
                 const std::string& checker = CHECKER, int closed = -1)
{
    if (std::find(arguments.begin(), arguments.end(), "--seed") == arguments.end())
        arguments.insert(arguments.begin(), {"--seed", tablesSeed});
    std::vector<std::string> words{checker};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return runToItsEnd(words, {"TMPDIR=" + temporary.string()}, std::filesystem::current_path() / ".outputs", closed);
}

std::string checked(const std::string& name)
{
    return std::string(CHECKED_LIBRARIES) + "/lib" + name + ".so";
}

// Everything in a directory, for "nothing left behind".
std::vector<std::string> contents(const std::filesystem::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    return names;
}

class RoutineCheck : public ::testing::Test {
protected:
    CheckerRun run(const std::vector<std::string>& arguments, const std::string& checker = CHECKER, int closed = -1)
    {
        CheckerRun result = check(arguments, temporary, checker, closed);
        EXPECT_EQ(contents(temporary), std::vector<std::string>{}) << "left behind in the temporary directory";
        EXPECT_EQ(contents(scratch.file("")), std::vector<std::string>{"tmp"})
            << "left behind in the current directory";
        return result;
    }

    ScratchDirectory scratch;
    std::filesystem::path temporary = [this] {
        std::filesystem::create_directory(scratch.file("tmp"));
        return std::filesystem::path(scratch.file("tmp"));
    }();
};

// ---- One fault each: the routine, the fault's words and the argument on one line ----------

struct FaultRow {
    const char* library; // the contract
    const char* file;    // the library built here
    const char* line;    // the line expected among the output
};

const FaultRow faultRows[] = {
    // Names: what the library exports instead, and what to write.
    {"Pettrix", "misnamed",
     "sumdll fault: is not exported (it exports sumDll, in another letter case: a program finds a routine by its "
     "exact name; write bind(C, name=\"sumdll\"), or sumdll in C)"},
    {"Pettrix", "sum_upper_case",
     "sumdll fault: is not exported (it exports SUMDLL, in another letter case: a program finds a routine by its "
     "exact name; write bind(C, name=\"sumdll\"), or sumdll in C)"},
    {"Pettrix", "sum_without_bind_c",
     "sumdll fault: is not exported (it exports sumdll_, the name gfortran gives a routine without bind(C): add "
     "bind(C, name=\"sumdll\"))"},
    {"Pettrix", "sum_module_procedure",
     "sumdll fault: is not exported (it exports __mysum_MOD_sumdll, the name gfortran gives a module procedure "
     "without bind(C): add bind(C, name=\"sumdll\"))"},
    {"Pettrix", "sum_hidden",
     "sumdll fault: is not exported (the library holds sumdll, hidden by the visibility settings (-fvisibility=hidden): "
     "declare it with ROUTINE_EXPORT, as pettrix.h does)"},
    {"Pettrix", "sum_static",
     "sumdll fault: is not exported (the library holds sumdll, declared static: only its own file can call it; remove "
     "static and declare it with ROUTINE_EXPORT, as pettrix.h does)"},
    {"Morvane", "square_in_cpp",
     "square fault: is not exported (it exports square(double*, double*, double*), a C++ name: declare it extern "
     "\"C\")"},
    // Where a routine reaches, and the kind it took.
    {"Pettrix", "sum_stored_wide",
     "sumdll fault: wrote past the end of c, the third argument, by 2 bytes: it took that argument as a 32-bit integer; declare it "
     "int16_t * in C, integer(c_int16_t) in Fortran"},
    {"Pettrix", "sum_stored_wide_where_page_starts",
     "sumdll fault: wrote past the end of c, the third argument, by 2 bytes: it took that argument as a 32-bit integer; declare it "
     "int16_t * in C, integer(c_int16_t) in Fortran"},
    {"Ostrum", "number_read_wide",
     "transnumber fault: read past the end of a, the first argument, by 2 bytes: it took that argument as a 32-bit integer; declare it "
     "int16_t * in C, integer(c_int16_t) in Fortran"},
    {"Ostrum", "transnumber_wide",
     "transnumber fault: read past the end of a, the first argument, by 2 bytes: it took that argument as a 32-bit integer; declare it "
     "int16_t * in C, integer(c_int16_t) in Fortran"},
    {"Ostrum", "elements_from_zero",
     "xArray fault: read before the start of x, the second argument, by 16 bytes, one element before the first: a loop from 0 over an "
     "array that Fortran numbers from 1"},
    // Arguments declared in another order: 20 characters written into the 4 bytes of lengthA.
    {"Ostrum", "chara_texts_first",
     "chara fault: wrote past the end of lengthA, the second argument, by 16 bytes: 20 bytes from its start, the size "
     "of textA or textB, the first or third argument: the routine declares its arguments in another order; declare "
     "them as the contract does, chara(textA, lengthA, textB, lengthB)"},
    {"Ostrum", "text_written_long", "chara fault: wrote past the end of textB, the third argument, by 2 bytes"},
    {"Ostrum", "text_written_before", "chara fault: wrote before the start of textB, the third argument, by 1 byte"},
    {"Pettrix", "number_read_before", "sumdll fault: read before the start of a, the first argument, by 2 bytes"},
    {"Morvane", "square_writes_x", "square fault: wrote into x, the second argument, which it must only read"},
    {"Pettrix", "sum_in_wrong_order",
     "sumdll fault: wrote into b, the second argument, which it must only read, and left c, the third argument, as it "
     "was: the routine takes its arguments in another order (declared in another order, or one before it taken by "
     "value); declare them as the contract does, sumdll(a, b, c)"},
    {"Morvane", "morvane_x_by_value",
     "square fault: wrote into x, the second argument, which it must only read, and left y, the third argument, as it "
     "was: the routine takes its arguments in another order (declared in another order, or one before it taken by "
     "value); declare them as the contract does, square(n, x, y)"},
    {"Ostrum", "descriptor_changed", "yArray fault: changed the descriptor of array, the second argument (its element count)"},
    {"Ostrum", "array_variable_changed",
     "zArray fault: changed the descriptor of array, the first argument (the address that its array variable "
     "holds)"},
    {"Ostrum", "tag_changed", "zArray fault: changed the tag of array, the first argument"},
    // A tag that names one kind over a payload of another.
    {"Ostrum", "squares_tagged_single",
     "xArray fault: tagged element 1 of y, the third argument, a 32-bit real (VT_R4), over the bytes of a 64-bit real "
     "(VT_R8), 1: Korvik shows \"x^2 = 0\"; tag it VT_R8 for the value it holds (10 of 10 elements)"},
    {"Ostrum", "squares_tagged_short",
     "xArray fault: tagged element 9 of y, the third argument, a 16-bit integer (VT_I2), over the bytes of a 32-bit "
     "integer (VT_I4), 81000: Korvik shows \"x^2 = 15464\"; tag it VT_I4 for the value it holds (2 of 10 elements)"},
    {"Ostrum", "element_made_text",
     "xArray fault: left element 3 of y, the third argument, with the kind 0x0008, which the program cannot hold and release safely"},
    {"Ostrum", "element_made_text",
     "xArray shows: Korvik's Text1 reads \"x(i) = 1\" to \"x(i) = 10\", then nothing that can be foretold: Korvik reads "
     "an element the routine left with a kind only the program may make as one it made, and may crash"},
    {"Ostrum", "rounding_left_changed",
     "square fault: changed the floating-point environment (SSE and x87: rounding toward zero)"},
    {"Pettrix", "address_kept", "sumdll fault: kept the address of c, the third argument"},
    {"Ostrum", "crashes", "transnumber fault: read through a null address"},
    {"Ostrum", "text_length_star",
     "chara fault: used the bytes of textA, the first argument, as an address: character(len=*) and x(:) in a bind(C) routine expect a C "
     "descriptor; declare it textA(*)"},
    {"Ostrum", "elements_assumed_shape",
     "xArray fault: used the bytes of y, the third argument, as an address: character(len=*) and x(:) in a bind(C) routine expect a C "
     "descriptor; declare it y(*)"},
    // The same descriptor read in a loop over len(), at -O0 and -O3.
    {"Ostrum", "text_length_star_loop",
     "chara fault: used the bytes of textB, the third argument, as an address: character(len=*) and x(:) in a bind(C) routine expect a C "
     "descriptor; declare it textB(*)"},
    {"Ostrum", "text_length_star_loop_o3",
     "chara fault: used the bytes of textB, the third argument, as an address: character(len=*) and x(:) in a bind(C) routine expect a C "
     "descriptor; declare it textB(*)"},
    // A null address: on its own, and taken from an empty element that holds 0.
    {"Pettrix", "null_written", "sumdll fault: wrote through a null address"},
    {"Ostrum", "element_followed_as_reference",
     "xArray fault: wrote through a null address, which it took from the value of element 1 of y, the third argument"},
    // An address taken from bytes other than the first 8 of an argument.
    {"Ostrum", "text_bytes_followed", "chara fault: used bytes 8 to 15 of textA, the first argument, as an address"},
    {"Ostrum", "aborts", "yArray fault: crashed (SIGABRT)"},
    {"Pettrix", "ends_process",
     "sumdll fault: ended the process with exit status 0, as a Fortran STOP or a C exit() does: it would end the "
     "whole program that called it"},
    {"Pettrix", "sum_stops",
     "sumdll fault: ended the process with exit status 0, as a Fortran STOP or a C exit() does: it would end the "
     "whole program that called it"},
    // What the routine printed before it ended the process is quoted, not lost.
    {"Pettrix", "sum_error_stop", "sumdll printed: \"ERROR STOP no sum today\""},
    // Results: what the window would show.
    {"Pettrix", "sum_subtracts",
     "sumdll fault: for a = 10 and b = 20, c, the third argument, holds -10, not 30 (Tolvan shows \"-10\") (7 of 9 pairs)"},
    // Right only for the pairs always tried: the first pair drawn from the tables' seed.
    {"Pettrix", "sum_learned_pairs",
     "sumdll fault: for a = -2166 and b = -7038, c, the third argument, holds 0, not -9204 (Tolvan shows \"0\") (3 of 9 "
     "pairs)"},
    {"Pettrix", "sum_subtracts",
     "sumdll note: for a = 32767 and b = 1, whose sum 32768 lies outside 16 bits, c, the third argument, holds 32766 "
     "and Tolvan shows \"32766\"; what it holds then is the routine's own choice"},
    {"Pettrix", "sum_by_value",
     "sumdll fault: for a = 10 and b = 20, c, the third argument, holds the sum of the low 16 bits of the addresses of a and b, not 30, "
     "and Tolvan shows a number that changes from run to run: it took a and b, the first and second arguments, by "
     "value (Fortran's value attribute); "
     "declare them without value (9 of 9 pairs)"},
    {"Pettrix", "sum_by_value",
     "sumdll shows: Tolvan's message boxes read \"a+b=\", then a number made of the addresses of a and b, which "
     "changes from run to run"},
    {"Pettrix", "sum_all_by_value",
     "sumdll fault: for a = 10 and b = 20, c, the third argument, holds 0, not 30 (Tolvan shows \"0\"): it stored nothing "
     "into c, the third argument, for any pair; a routine that takes c by value (Fortran's value attribute, int16_t c "
     "in C) stores into its own copy; declare c without value (7 of 9 pairs)"},
    {"Ostrum", "square_by_value",
     "square fault: returns a result that follows whatever xmm0 held before the call, not x, the first argument: it "
     "took x by value (Fortran's value attribute, or float x in C) where Korvik passes its address; declare x without "
     "value, float * in C"},
    {"Ostrum", "square_by_value",
     "square shows: Korvik's Label1 reads \"xx = 5, xx^2 = \" and then a number that follows whatever xmm0 held, not "
     "one number"},
    {"Ostrum", "transnumber_by_value",
     "transnumber fault: stored into b, the second argument, the low 16 bits of the address of a, the first argument, "
     "not its value: it took a by value (Fortran's value attribute, or int16_t a in C) where Korvik passes its "
     "address; declare it without value"},
    {"Ostrum", "transnumber_by_value",
     "transnumber shows: Korvik's Label2 reads \"15  \" and then a number made of the address of a, which changes from "
     "run to run"},
    {"Morvane", "morvane_y_by_value",
     "square fault: for x = 3, y, the third argument, holds 0, not the 32-bit real 9 (Vandrel shows \" 0\"): it stored "
     "nothing into y, the third argument, for any call; a routine that takes y by value (Fortran's value attribute, "
     "double y in C) stores into its own copy; declare y without value (10 of 11 calls)"},
    {"Pettrix", "sum_keeps_state",
     "sumdll note: keeps state between calls: the first click shows \"30\", the second \"60\""},
    {"Ostrum", "chara_keeps_state",
     "chara note: keeps state between calls: the first click shows \"1aaa                \", the second \"2aaa    "
     "            \""},
    {"Ostrum", "count_keeps_state",
     "xArray note: keeps state between calls: the first click shows \"i = 1   x = 1   x^2 = \", the second \"i = 1 "
     "  x = 1   x^2 = \", \"i = 2   x = 2   x^2 = \""},
    {"Ostrum", "square_double",
     "square fault: returns a 64-bit real (25) where Korvik reads a 32-bit one, so test 3 shows \"xx = 5, xx^2 = "
     "0\"; declare the result float (real(c_float) in Fortran)"},
    {"Ostrum", "square_double_f",
     "square fault: returns a 64-bit real (25) where Korvik reads a 32-bit one, so test 3 shows \"xx = 5, xx^2 = "
     "0\"; declare the result float (real(c_float) in Fortran)"},
    {"Morvane", "morvane_unrounded",
     "square fault: for x = 1.1, y, the third argument, holds 1.2100000000000002, not the 32-bit real 1.2100000381469727 (Vandrel shows "
     "\" 1.21\"): the square at 64-bit precision; convert it to a 32-bit real first (3 of 11 calls)"},
    {"Morvane", "morvane_single_into_y",
     "square fault: for x = 3, y, the third argument, holds 5.39306059e-315, not the 32-bit real 9 (Vandrel shows \" 5.3930605917843E-315\"): "
     "a 32-bit real in the first 4 of y's 8 bytes; store it widened (10 of 11 calls)"},
    {"Morvane", "morvane_rounding_not_put_back",
     "square fault: for x = 3 with the caller's rounding toward zero, the call returned with another rounding "
     "direction; put the caller's back before returning (33 of 44 calls)"},
    {"Morvane", "morvane_no_trace",
     "square fault: for x = 3, there is no square.dat in the call's directory when the call returns (44 of 44 "
     "calls)"},
    {"Morvane", "morvane_real_fields",
     "square fault: for x = 3, square.dat ends with \"           1\" and \"x =   3.0   y =   9.0\" when the call "
     "returns, not \"1\", with any number of blanks before it, and \"x =     3   y =     9\" (40 of 44 calls)"},
    {"Morvane", "morvane_rounds_whole_parts",
     "square fault: for x = 2.5, square.dat ends with \"           1\" and \"x =     3   y =     6\" when the call "
     "returns, not \"1\", with any number of blanks before it, and \"x =     2   y =     6\" (12 of 44 calls)"},
    {"Morvane", "morvane_unflushed",
     "square fault: for x = 3, square.dat ends with no lines when the call returns, not \"1\", with any number of blanks before it, and \"x =     3   y =  "
     "   9\"; close the file before returning (44 of 44 calls)"},
    // Far beyond an argument: in its own guard, with the distance measured.
    {"Pettrix", "sum_stored_far", "sumdll fault: wrote past the end of c, the third argument, by 5998 bytes"},
    {"Ostrum", "number_read_far_before", "transnumber fault: read before the start of a, the first argument, by 40000 bytes"},
    {"Pettrix", "sum_is_data", "sumdll fault: the library exports the name, but what it names is not a routine"},
    // Writes made possible with mprotect, seen in the bytes the checker shares and reads itself.
    {"Pettrix", "read_only_made_writable", "sumdll fault: wrote into a, the first argument, which it must only read"},
    {"Pettrix", "read_only_made_writable", "sumdll fault: wrote into b, the second argument, which it must only read"},
    {"Pettrix", "guard_made_writable", "sumdll fault: wrote past the end of c, the third argument, by 10 bytes"},
    {"Morvane", "morvane_x_made_writable", "square fault: wrote into x, the second argument, which it must only read"},
    // Records in the checker's name on every descriptor: the verdict is the checker's own.
    {"Pettrix", "forges_wrong_sum",
     "sumdll fault: for a = 10 and b = 20, c, the third argument, holds -10, not 30 (Tolvan shows \"-10\") (7 of 9 pairs)"},
    {"Pettrix", "forges_and_exits",
     "sumdll fault: ended its process before call 1 of the checker's 12 calls had returned, though a message in the "
     "checker's name said they were over"},
    {"Pettrix", "forges_and_crashes", "sumdll fault: wrote through a null address"},
    // No room claimed by a process that then ended as if its calls were over: the claim is not
    // believed, and the calls not made are a fault.
    {"Pettrix", "forges_no_room",
     "sumdll fault: ended its process before call 1 of the checker's 12 calls had returned, though a message in the "
     "checker's name said they were over"},
    // Every call marked returned in the shared storage: the marks make no call that was not made
    // right.
    {"Pettrix", "forges_marks",
     "sumdll fault: for a = -7 and b = 3, c, the third argument, holds 0, not -4 (Tolvan shows \"0\") (6 of 9 pairs)"},
#if defined(__x86_64__)
    {"Pettrix", "r13_changed",
     "sumdll fault: did not keep r13 as it found it (a routine must leave rbx, rbp and r12 to r15 unchanged)"},
    {"Pettrix", "rbx_changed",
     "sumdll fault: did not keep rbx as it found it (a routine must leave rbx, rbp and r12 to r15 unchanged)"},
    {"Pettrix", "stack_left_off",
     "sumdll fault: returned with the stack pointer moved 8 bytes up (a routine must return with it where the call "
     "left it)"},
    {"Pettrix", "direction_left_set",
     "sumdll fault: returned with the direction flag set (a routine must clear it before it returns)"},
#endif
    // After the return.
    {"Pettrix", "writes_late", "sumdll fault: changed c, the third argument, after it had returned (a thread or a timer it left behind)"},
    {"Pettrix", "thread_left_running", "sumdll fault: left 1 thread running after it returned"},
    {"Pettrix", "alarm_left_set",
     "sumdll fault: left a timer set (alarm or setitimer): SIGALRM would end the program after the call"},
    {"Pettrix", "sigpipe_ignored",
     "sumdll fault: changed the handling of SIGPIPE and did not put it back (the program relies on it as it was)"},
    {"Pettrix", "forks_away",
     "sumdll fault: went on in a process of its own (it forked, as daemon() does), which wrote into the checker's "
     "report channel"},
    {"Pettrix", "forks_and_stays", "sumdll fault: left a process of its own running after it returned (it forked)"},
    {"Pettrix", "forks_out_of_reach", "sumdll fault: left a process of its own running after it returned (it forked)"},
    {"Pettrix", "closes_every_descriptor", "sumdll fault: closed the checker's report channel"},
    // The limits of a routine's process.
    {"Pettrix", "processor_time_used_up",
     "sumdll fault: used up its processor time (2 seconds, as long as the time limit)"},
#if !defined(__SANITIZE_ADDRESS__)
    {"Pettrix", "allocates_without_end",
     "sumdll fault: ran out of memory: it reached the 4 GiB of address space a routine may take, and then crashed "
     "(SIGSEGV)"},
    // The room the checker needs taken by the routine: the routine's fault, not the checker's.
    {"Pettrix", "leaves_no_room",
     "sumdll fault: ran out of memory: after its calls it held the 4 GiB of address space a routine may take, and "
     "left no room for the storage of b in the next call"},
#endif
};

void PrintTo(const FaultRow& row, std::ostream* out)
{
    *out << row.library << " " << row.file;
}

// One test per row, named after its library, so that a failing row is named.
class FaultFound : public RoutineCheck, public ::testing::WithParamInterface<FaultRow> {};

TEST_P(FaultFound, WithItsRoutineAndArgument)
{
    const FaultRow& row = GetParam();
    const CheckerRun result = run({row.library, checked(row.file)});
    EXPECT_TRUE(result.hasLine(row.line)) << "expected the line \"" << row.line << "\" in:\n" << result.output;
    EXPECT_EQ(result.status, 1);
    // gfortran's own module symbols are never listed as the author's exports.
    EXPECT_EQ(result.output.find("also exports __"), std::string::npos) << result.output;
}

// A library with two rows gets its second as "name_2".
std::string rowName(const ::testing::TestParamInfo<FaultRow>& info)
{
    const auto earlier = std::count_if(std::begin(faultRows), std::begin(faultRows) + static_cast<std::ptrdiff_t>(info.index),
                                       [&](const FaultRow& row) { return std::string_view(row.file) == info.param.file; });
    std::string name = info.param.file;
    if (earlier > 0)
        name += '_' + std::to_string(earlier + 1);
    return name;
}

INSTANTIATE_TEST_SUITE_P(RoutineCheck, FaultFound, ::testing::ValuesIn(faultRows), rowName);

// The len=* loop as LLVM Flang builds it, which reads the length as a 32-bit number.
TEST_F(RoutineCheck, FindsTheDescriptorReadByLlvmFlang)
{
    if (!FLANG_BUILT)
        GTEST_SKIP() << "LLVM Flang is not installed";
    const CheckerRun result = run({"Ostrum", checked("text_length_star_loop_flang")});
    EXPECT_TRUE(result.hasLine("chara fault: used the bytes of textB, the third argument, as an address: character(len=*) "
                               "and x(:) in a bind(C) routine expect a C descriptor; declare it textB(*)"))
        << result.output;
    EXPECT_EQ(result.status, 1);
}

// ---- Sound libraries pass ------------------------------------------------------------------

// The samples in Fortran, which lie beside the programs, and in C: each routine ok, and what
// each of Korvik's tests then shows.
TEST_F(RoutineCheck, ShippedOstrumGivesSixOkLines)
{
    std::string listing;
    for (int i = 1; i <= 10; ++i)
        listing += std::string(i == 1 ? "" : ", ") + "\"i = " + std::to_string(i) + "   x = " + std::to_string(i) +
                   "   x^2 = " + std::to_string(i * i) + "\"";
    for (const std::string sample : {SAMPLE_OSTRUM, SAMPLE_OSTRUM_C}) {
        SCOPED_TRACE(sample);
        const CheckerRun result = run({"Ostrum", sample});
        const std::vector<std::string> expected{
            "Checking Ostrum in " + sample + ".",
            "chara ok",
            "chara shows: Korvik's lblindex2 reads \"WOO HAHAHAHA        \"",
            "xArray ok",
            "xArray shows: Korvik's Text1 reads \"x(i) = 1\" to \"x(i) = 10\", then " + listing,
            "square ok",
            "square shows: Korvik's Label1 reads \"xx = 5, xx^2 = 25\"",
            "transnumber ok",
            "transnumber shows: Korvik's Label2 reads \"0  15\"",
            "yArray ok",
            "yArray shows: Korvik's Label3 reads \"OKey\"",
            "zArray ok",
            "zArray shows: Korvik's Label4 reads \"O-Key\"",
            "summary: 6 routines, 6 ok, 0 with a fault",
        };
        EXPECT_EQ(result.lines(), expected);
        EXPECT_EQ(result.status, 0);
    }
}

struct PassingRow {
    const char* library;
    std::string file;
    std::vector<std::string> lines; // expected among the output
};

// A copy of `library` as libPettrix.so under a path longer than 400 bytes, in a folder of
// its own (removed with the object).
class DeepCopy {
public:
    explicit DeepCopy(const std::string& library)
    {
        char folder[] = "/tmp/deep-XXXXXX";
        if (mkdtemp(folder))
            top_ = folder;
        std::filesystem::path deep = top_;
        for (int level = 0; level < 4; ++level)
            deep /= std::string(100, static_cast<char>('a' + level));
        std::filesystem::create_directories(deep);
        file_ = (deep / "libPettrix.so").string();
        std::filesystem::copy_file(library, file_);
    }
    ~DeepCopy() { std::filesystem::remove_all(top_); }
    const std::string& file() const { return file_; }

private:
    std::filesystem::path top_;
    std::string file_;
};

TEST_F(RoutineCheck, SoundLibrariesPass)
{
    const DeepCopy deep(SAMPLE_PETTRIX);
    ASSERT_GT(deep.file().size(), 400u);
    const PassingRow rows[] = {
        {"Pettrix", deep.file(), {"Checking Pettrix in " + deep.file() + ".", "sumdll ok"}},
        {"Pettrix", checked("sum_from_dependency"), {"sumdll ok"}},
        // Only the end of square.dat is read: the last two lines of a 64 GiB file, after a hole.
        {"Morvane", checked("morvane_sparse_trace"), {"square ok"}},
        {"Pettrix", checked("closes_low_descriptors"), {"sumdll ok"}},
        {"Pettrix", checked("expects_limits"), {"sumdll ok"}},
        {"Pettrix",
         checked("odd_names"),
         {"sumdll ok", "Pettrix note: also exports clear\\x1b[2J\\x0dback\\xe9, which Tolvan never calls"}},
        {"Pettrix", SAMPLE_PETTRIX, {"sumdll ok"}},
        // A runtime linked into the library is counted after the author's own exports.
        {"Pettrix",
         checked("sum_with_cpp_runtime"),
         {"sumdll ok", "Pettrix note: also exports helper, which Tolvan never calls, and … symbols of the C++ runtime"}},
#if defined(FLANG_LIBRARIES)
        {"Pettrix",
         checked("sum_from_flang"),
         {"sumdll ok",
          "Pettrix note: also exports helper, which Tolvan never calls, and … symbols of the Fortran runtime"}},
#endif
        {"Pettrix", SAMPLE_PETTRIX_C, {"sumdll ok"}},
        // OpenMP's pool of workers waits after the return, as it does in the program.
        {"Pettrix",
         checked("sum_openmp"),
         {"sumdll ok", "sumdll note: left 3 threads waiting after it returned (blocked in the kernel…), as a "
                       "runtime's pool of workers waits (OpenMP's); harmless while it only waits"}},
#if defined(FLANG_OPENMP)
        {"Pettrix",
         FLANG_OPENMP,
         {"sumdll ok", "sumdll note: left 3 threads waiting after it returned (blocked in the kernel…), as a "
                       "runtime's pool of workers waits (OpenMP's); harmless while it only waits"}},
#endif
        // Morvane writes its trace into the checker's own temporary directory, which the
        // fixture sees removed.
        {"morvane.DLL", MORVANE, {"square ok"}},
        {"Morvane", checked("morvane_by_hand"), {"square ok"}},
        {"Morvane",
         checked("morvane_by_hand_f"),
         {"square ok",
          "square note: ended the process with exit status 2 when square.dat could not be written (a folder stood in "
          "its place): the Fortran runtime ends the program on an I/O error without iostat=; add iostat= to open and "
          "write",
          "square printed: \"Fortran runtime error: Cannot open file 'square.dat': Is a directory\""}},
        {"Morvane", checked("morvane_with_iostat"), {"square ok"}},
        // The square narrowed in the caller's rounding, as learners write it: every program
        // calls square with rounding to nearest.
        {"Morvane", checked("morvane_usual"), {"square ok"}},
        {"Morvane",
         checked("morvane_usual_f"),
         {"square ok",
          "square note: ended the process with exit status 2 when square.dat could not be written (a folder stood in "
          "its place): the Fortran runtime ends the program on an I/O error without iostat=; add iostat= to open and "
          "write"}},
        // What a routine prints is quoted under it, a few lines of it, each line cut to a width.
        {"Pettrix",
         checked("sum_prints"),
         {"sumdll ok", "sumdll printed: \"the sum is 30\"", "sumdll printed: \"the sum is -4\""}},
        {"Pettrix",
         checked("prints_a_lot"),
         {"sumdll ok", "sumdll printed: \"" + std::string(200, 'x') + "\" (cut: the line has 300 bytes)",
          "sumdll printed: \"line     8 of the megabyte that sumdll prints at every call...\"",
          "sumdll printed … bytes in all: only the first 10 lines are quoted"}},
        {"Ostrum",
         checked("writes_everything"),
         {"chara ok", "xArray ok", "square ok", "transnumber ok", "yArray ok", "zArray ok"}},
        {"Ostrum",
         checked("with_notes"),
         {"chara note: changed lengthB, the fourth argument, from 20 to 12; Korvik does not read it back, and text B "
          "keeps its 20 characters",
          "xArray note: left count, the first argument, at 11, beyond the 10 elements of each array; Korvik then "
          "reports \"Subscript out of range\"",
          "square note: raised the floating-point exception flags overflow, inexact; the programs do not look at them",
          "Ostrum note: also exports helper, which Korvik never calls", "summary: 6 routines, 6 ok, 0 with a fault"}},
    };
    for (const PassingRow& row : rows) {
        SCOPED_TRACE(row.file);
        const CheckerRun result = run({row.library, row.file});
        for (const std::string& line : row.lines)
            EXPECT_TRUE(result.hasLine(line)) << "expected the line \"" << line << "\" in:\n" << result.output;
        EXPECT_EQ(result.output.find("fault:"), std::string::npos) << result.output;
        EXPECT_EQ(result.status, 0);
        // Nothing that could rewrite the terminal: no control character but the line ends.
        EXPECT_EQ(std::count_if(result.output.begin(), result.output.end(),
                                [](char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7f; }),
                  0)
            << result.output;
    }
}

// The library is loaded where the checker was started, as a program started there loads it: a
// dependency found through a search path relative to that directory (LD_LIBRARY_PATH=.) is
// the one found, and not a library of the same name further along the path, which has no
// sumdll.
TEST_F(RoutineCheck, FindsADependencyFromWhereItIsStarted)
{
    const std::string relative = std::filesystem::relative(CHECKED_LIBRARIES).string();
    ASSERT_FALSE(relative.empty());
    ASSERT_NE(relative.front(), '/');
    const std::string elsewhere = std::string(CHECKED_LIBRARIES) + "/elsewhere";
    const char* inherited = getenv("LD_LIBRARY_PATH");
    const std::string kept = inherited ? inherited : "";
    setenv("LD_LIBRARY_PATH", (relative + ":" + elsewhere).c_str(), 1);
    const CheckerRun found = run({"Pettrix", checked("sum_found_on_search_path")});
    setenv("LD_LIBRARY_PATH", elsewhere.c_str(), 1);
    const CheckerRun other = run({"Pettrix", checked("sum_found_on_search_path")});
    unsetenv("LD_LIBRARY_PATH");
    const CheckerRun alone = run({"Pettrix", checked("sum_found_on_search_path")});
    if (inherited)
        setenv("LD_LIBRARY_PATH", kept.c_str(), 1);
    EXPECT_TRUE(found.hasLine("sumdll ok")) << found.output << found.errors;
    EXPECT_EQ(found.status, 0);
    // With the other library alone the program would not find sumdll either.
    EXPECT_TRUE(other.hasLine("sumdll fault: is not exported")) << other.output << other.errors;
    EXPECT_EQ(other.status, 1);
    // Without the search path the program would not load it, and the loader says why.
    EXPECT_NE(alone.errors.find("does not load: libsum_provider.so: cannot open shared object file"),
              std::string::npos)
        << alone.errors;
    EXPECT_EQ(alone.status, 2);
}

#if !defined(__SANITIZE_ADDRESS__)
// The checker's own failures are never the routine's. Started with less address space than its
// guarded storage needs (set from 16 MiB up, until its storage no longer fits and then until it
// fits), it says that it could not check the routine and ends with status 2, and never
// reports a fault of a sound routine.
TEST_F(RoutineCheck, ItsOwnFailuresAreNeverTheRoutines)
{
    const std::string output = scratch.file("output");
    bool noRoomSaid = false;
    bool checkedWhole = false;
    for (rlim_t megabytes = 16; megabytes <= 512 && !checkedWhole; megabytes += 8) {
        SCOPED_TRACE(std::to_string(megabytes) + " MiB");
        const pid_t child = fork();
        if (child == 0) {
            const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int none = open("/dev/null", O_WRONLY);
            dup2(out, 1);
            dup2(none, 2);
            setenv("TMPDIR", temporary.c_str(), 1);
            const rlimit space{megabytes << 20, megabytes << 20};
            setrlimit(RLIMIT_AS, &space);
            execl(CHECKER, CHECKER, "Pettrix", SAMPLE_PETTRIX_C, static_cast<char*>(nullptr));
            _exit(121);
        }
        int status = 0;
        waitpid(child, &status, 0);
        CheckerRun result;
        result.output = fileBytes(output);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::filesystem::remove(output);
        EXPECT_EQ(result.output.find(" fault: "), std::string::npos) << result.output;
        EXPECT_NE(result.status, 1) << result.output;
        if (result.hasLine("sumdll could not be checked: the checker found no room in its process for the guarded "
                           "storage of … (Cannot allocate memory)")) {
            noRoomSaid = true;
            EXPECT_TRUE(result.hasLine("summary: 1 routine, 0 ok, 0 with a fault, 1 not checked")) << result.output;
            EXPECT_EQ(result.status, 2);
        }
        checkedWhole = result.status == 0;
        EXPECT_EQ(contents(temporary), std::vector<std::string>{}) << "left behind in the temporary directory";
    }
    EXPECT_TRUE(noRoomSaid);
    EXPECT_TRUE(checkedWhole);
}
#endif

// Where a square.dat cannot be written, Vandrel goes on with a Morvane that goes on: only a
// routine that then ends the program gets a note, and only that one.
TEST_F(RoutineCheck, NotesOnlyASquareThatEndsTheProgramWhereItsTraceCannotBeWritten)
{
    const std::pair<std::string, bool> rows[] = {
        {MORVANE, false},
        {checked("morvane_by_hand"), false},
        {checked("morvane_with_iostat"), false},
        {checked("morvane_by_hand_f"), true},
    };
    for (const auto& [file, noted] : rows) {
        SCOPED_TRACE(file);
        const CheckerRun result = run({"Morvane", file});
        EXPECT_EQ(result.hasLine("square note: ended the process … when square.dat could not be written …"), noted)
            << result.output;
        EXPECT_EQ(result.status, 0) << result.output;
    }
    const CheckerRun unchecked = run({"Morvane", checked("morvane_unchecked_fopen")});
    EXPECT_TRUE(unchecked.hasLine("square note: crashed (SIGSEGV) when square.dat could not be written (a folder stood "
                                  "in its place): it wrote to a file that did not open; check what fopen returns"))
        << unchecked.output;
    EXPECT_EQ(unchecked.status, 0) << unchecked.output;
#if defined(FLANG_LIBRARIES)
    // LLVM Flang's runtime crashes where gfortran's exits.
    const CheckerRun flang = run({"Morvane", checked("morvane_from_flang")});
    EXPECT_TRUE(flang.hasLine("square note: crashed (SIGABRT) when square.dat could not be written (a folder stood in "
                              "its place): the Fortran runtime ends the program on an I/O error without iostat=; add "
                              "iostat= to open and write"))
        << flang.output;
    EXPECT_EQ(flang.status, 0) << flang.output;
#endif
}

// What each routine prints, and what the start-up code prints, is quoted under its own name,
// with control characters escaped, and nothing of it reaches the checker's standard error;
// nor does a control character that Korvik would show.
TEST_F(RoutineCheck, QuotesWhatEachRoutinePrintsUnderIt)
{
    const CheckerRun result = run({"Ostrum", checked("prints_everywhere")});
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.status, 0) << result.output;
    const std::vector<std::string> lines = result.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Ostrum printed while loading: \"Ostrum is loaded\"");
    EXPECT_TRUE(result.hasLine("chara printed: \"chara \\x1b[2J\\x0d\"")) << result.output;
    EXPECT_TRUE(result.hasLine("square printed: \"square of 5square of 5…\"")) << result.output;
    // What a window shows of the routine's bytes is escaped as well.
    EXPECT_TRUE(result.hasLine("chara shows: Korvik's lblindex2 reads \"\\x1b[2J clear\\x0d         \""))
        << result.output;
    // Each routine's printing lies among its own lines, and says its own name.
    std::string routine;
    std::vector<std::string> printing;
    for (const std::string& line : lines) {
        const std::string name = line.substr(0, line.find(' '));
        if (line.ends_with(" ok"))
            routine = name;
        if (line.find(" printed: ") == std::string::npos || name == "Ostrum")
            continue;
        EXPECT_EQ(name, routine) << line;
        EXPECT_EQ(line.rfind(name + " printed: \"" + name, 0), 0u) << line;
        if (printing.empty() || printing.back() != name)
            printing.push_back(name);
    }
    EXPECT_EQ(printing, (std::vector<std::string>{"chara", "xArray", "square", "transnumber", "yArray", "zArray"}));
}

// A routine that prints, with one of the checker's standard streams closed when it starts:
// the report is whole all the same.
TEST_F(RoutineCheck, ClosedStandardStreamsSpoilNothing)
{
    for (int closed : {0, 1, 2}) {
        SCOPED_TRACE(closed);
        const CheckerRun result = run({"Pettrix", checked("prints")}, CHECKER, closed);
        if (closed != 1) {
            EXPECT_TRUE(result.hasLine("sumdll ok")) << result.output;
        }
        EXPECT_EQ(result.status, 0) << result.output << result.errors;
    }
}

// ---- Crashes and hangs are findings, and the check goes on ----------------------------------

TEST_F(RoutineCheck, GoesOnAfterACrash)
{
    const CheckerRun result = run({"Ostrum", checked("crashes")});
    EXPECT_TRUE(result.hasLine("transnumber fault: read through a null address")) << result.output;
    EXPECT_TRUE(result.hasLine("yArray ok")) << result.output;
    EXPECT_TRUE(result.hasLine("summary: 6 routines, 1 ok, 5 with a fault")) << result.output;
}

TEST_F(RoutineCheck, StopsAHangAtTheTimeLimit)
{
    const CheckerRun result = run({"--time-limit", "0.2", "Pettrix", checked("hangs")});
    EXPECT_TRUE(result.hasLine("sumdll fault: did not return within 0.2 seconds")) << result.output;
    EXPECT_EQ(result.status, 1);
}

// A routine that waits for good uses no processor time: the clock's backstop, ten times the
// time limit and at least 5 seconds, ends it, and the sentence says it waits.
TEST_F(RoutineCheck, StopsARoutineThatWaitsForGoodAtTheBackstop)
{
    const CheckerRun result = run({"--time-limit", "0.2", "Pettrix", checked("waits_for_ever")});
    EXPECT_TRUE(result.hasLine("sumdll fault: did not return within 5 seconds, in which it used … seconds of "
                               "processor time: it waits for something that never comes (pause(), a sleep, a "
                               "lock never released)"))
        << result.output;
    EXPECT_EQ(result.status, 1);
}

// The time limit counts the routine's processor time: a routine that needs a tenth of a second
// for each call (about one second in all, of the two allowed) passes on a busy processor, which
// stretches its calls by the clock beyond the time limit. The checker and two busy loops share
// one processor, so that the routine gets a third of it at most, however many there are.
TEST_F(RoutineCheck, ABusyMachineDoesNotEndARoutineThatReturns)
{
    cpu_set_t all;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    int first = 0;
    while (!CPU_ISSET(first, &all))
        ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    std::atomic<bool> busy{true};
    std::vector<std::thread> loops;
    for (int i = 0; i < 2; ++i)
        loops.emplace_back([&busy] {
            while (busy.load(std::memory_order_relaxed)) {
            }
        });
    const CheckerRun result = run({"Pettrix", checked("sum_takes_processor_time")});
    busy = false;
    for (std::thread& loop : loops)
        loop.join();
    sched_setaffinity(0, sizeof all, &all);
    EXPECT_TRUE(result.hasLine("sumdll ok")) << result.output;
    EXPECT_EQ(result.status, 0) << result.output;
}

// The processes whose parent is `parent` and that still run (zombies are ended).
std::vector<pid_t> runningChildrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    for (const auto& process : std::filesystem::directory_iterator("/proc")) {
        const std::string stat = fileBytes((process.path() / "stat").string());
        // "pid (name) state ppid ...": the name may hold anything, so read from its last ')'.
        const std::size_t nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(nameEnd + 2));
        char state = 0;
        pid_t ppid = 0;
        fields >> state >> ppid;
        if (ppid == parent && state != 'Z' && state != 'X')
            children.push_back(std::stoi(process.path().filename().string()));
    }
    return children;
}

// Ended by a signal while a routine hangs, it ends the routine's process with itself, removes
// its temporary directory and ends by that signal.
TEST_F(RoutineCheck, EndedBySignalLeavesNothingBehind)
{
    for (int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        const pid_t checker = startChecker({"--time-limit", "60", "Pettrix", checked("hangs")}, temporary,
                                           "/dev/null", "/dev/null");
        ASSERT_GT(checker, 0);
        // The library's process, and the routine's process it started, exist once the checker
        // is calling the routine.
        std::vector<pid_t> processes;
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
            const std::vector<pid_t> library = runningChildrenOf(checker);
            const std::vector<pid_t> routine = library.size() == 1 ? runningChildrenOf(library[0]) : library;
            if (library.size() == 1 && routine.size() == 1) {
                processes = {library[0], routine[0]};
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_EQ(processes.size(), 2u);
        // Sandboxed, the routines' folder is in the sandbox's memory: none on the machine.
        ASSERT_TRUE(contents(temporary).empty());

        kill(checker, signal);
        int status = 0;
        waitpid(checker, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(contents(temporary), std::vector<std::string>{});
        for (const pid_t process : processes) {
            const std::string state = fileBytes("/proc/" + std::to_string(process) + "/stat");
            EXPECT_TRUE(state.empty() || state.find(") Z") != std::string::npos) << "still runs: " << state;
        }
    }
}

// A process a routine started in a session of its own, which never writes, ends with the check.
TEST_F(RoutineCheck, EndsAProcessThatLeftItsSession)
{
    // Whatever the checker leaves running becomes a child of this process.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const pid_t checker = startChecker({"Pettrix", checked("forks_out_of_reach")}, temporary, "/dev/null", "/dev/null");
    ASSERT_GT(checker, 0);
    int status = 0;
    waitpid(checker, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(runningChildrenOf(getpid()), std::vector<pid_t>{});
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

// A reader that stops after the first line (`routine-check ... | head -1`) ends the checker by
// SIGPIPE, with its folder removed and no process of its own left running.
TEST_F(RoutineCheck, AReaderThatStopsEndsItCleanly)
{
    // Whatever the checker leaves running becomes a child of this process.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0); // the checker holds no reading end of its own
    const std::string reader = "/dev/fd/" + std::to_string(ends[1]);
    // thread_left_running keeps each call a moment, so the first line comes well before the last.
    const pid_t checker = startChecker({"Pettrix", checked("thread_left_running")}, temporary, reader, "/dev/null");
    close(ends[1]);
    ASSERT_GT(checker, 0);
    std::string first;
    for (char c = 0; c != '\n' && read(ends[0], &c, 1) == 1;)
        first += c;
    close(ends[0]);
    int status = 0;
    waitpid(checker, &status, 0);
    EXPECT_EQ(first.rfind("Checking Pettrix in ", 0), 0u) << first;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
    EXPECT_EQ(contents(temporary), std::vector<std::string>{});
    EXPECT_EQ(runningChildrenOf(getpid()), std::vector<pid_t>{});
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

// The checker and a library copied into a folder of their own that the user "nobody" may enter,
// with a temporary directory of nobody's: the build may lie in a folder only root can enter.
// Removed with the object.
class CopiesForNobody {
public:
    static constexpr uid_t nobody = 65534;

    explicit CopiesForNobody(const std::string& library)
    {
        char folder[] = "/tmp/as-nobody-XXXXXX";
        if (!mkdtemp(folder))
            return;
        folder_ = folder;
        std::filesystem::copy_file(CHECKER, checker());
        library_ = (folder_ / std::filesystem::path(library).filename()).string();
        std::filesystem::copy_file(library, library_);
        std::filesystem::create_directory(temporary());
        if (geteuid() == 0) {
            chmod(folder, 0755);
            [[maybe_unused]] const int owned = chown(temporary().c_str(), nobody, nobody);
        }
    }
    ~CopiesForNobody()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    CopiesForNobody(const CopiesForNobody&) = delete;
    CopiesForNobody& operator=(const CopiesForNobody&) = delete;

    bool made() const { return !folder_.empty(); }
    std::string checker() const { return (folder_ / "routine-check").string(); }
    const std::string& library() const { return library_; }
    std::filesystem::path temporary() const { return folder_ / "tmp"; }

    // Runs the checker on the library from the folder, as nobody when run as root, with
    // `limit` set to `value` first when given; its exit status as waitpid gives it, its
    // standard output and error into the files named.
    // With `unsandboxed`, in namespaces whose user may make no more, where no sandbox can be made.
    int run(const std::string& contract, const std::string& output, const std::string& errors, int limit = -1,
            rlim_t value = 0, bool unsandboxed = false) const
    {
        const pid_t child = fork();
        if (child == 0) {
            const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            const int error = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            dup2(out, 1);
            dup2(error, 2);
            const rlimit limited{value, value};
            if (limit >= 0 && setrlimit(static_cast<__rlimit_resource>(limit), &limited) != 0)
                _exit(119);
            // The scratch directory, the current one, may lie where nobody may not go.
            if (chdir(folder_.c_str()) != 0 ||
                (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)))
                _exit(120);
            setenv("TMPDIR", temporary().c_str(), 1);
            if (unsandboxed)
                execl("/usr/bin/bwrap", "bwrap", "--unshare-user", "--disable-userns", "--dev-bind", "/", "/", "--",
                      checker().c_str(), contract.c_str(), library_.c_str(), static_cast<char*>(nullptr));
            execl(checker().c_str(), checker().c_str(), contract.c_str(), library_.c_str(), static_cast<char*>(nullptr));
            _exit(121);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    }

private:
    std::filesystem::path folder_;
    std::string library_;
};

// A folder that a routine left and that cannot be removed lies in the sandbox's memory and goes
// with it: nothing is left on the machine and nothing needs naming. (Unsandboxed, the checker
// names the temporary directory it could not remove.) As root everything can be removed, so
// there the checker runs as the unprivileged user "nobody".
TEST_F(RoutineCheck, NamesATemporaryDirectoryItCouldNotRemove)
{
    const CopiesForNobody copies(checked("makes_stuck_folder"));
    ASSERT_TRUE(copies.made());
    const std::string errors = scratch.file("errors");
    const int status = copies.run("Pettrix", "/dev/null", errors);
    const std::vector<std::string> left = contents(copies.temporary());
    const std::string said = fileBytes(errors);
    std::filesystem::remove(errors);
    for (const std::string& name : left)
        chmod((copies.temporary() / name / "stuck").c_str(), 0700);
    EXPECT_EQ(left.size(), 0u) << said;
    EXPECT_EQ(said.find("could not remove"), std::string::npos) << said;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Where no sandbox can be made, the routines run in a temporary directory of the machine's,
// and one a routine made impossible to remove is named.
TEST_F(RoutineCheck, NamesATemporaryDirectoryItCouldNotRemoveUnsandboxed)
{
    const CopiesForNobody copies(checked("makes_stuck_folder"));
    ASSERT_TRUE(copies.made());
    const std::string errors = scratch.file("errors");
    const int status = copies.run("Pettrix", "/dev/null", errors, -1, 0, true);
    const std::vector<std::string> left = contents(copies.temporary());
    const std::string said = fileBytes(errors);
    std::filesystem::remove(errors);
    for (const std::string& name : left)
        chmod((copies.temporary() / name / "stuck").c_str(), 0700);
    ASSERT_EQ(left.size(), 1u) << said;
    EXPECT_NE(said.find("routine-check: could not remove the temporary directory " +
                        (copies.temporary() / left[0]).string() + ": "),
              std::string::npos)
        << said;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A process the checker could not start is its own failure, never the routine's: with the
// processes nobody may have limited, one after another, no run reports a fault, and one says
// that the routine could not be checked, or the library not loaded. Only root can start the
// checker as nobody.
TEST_F(RoutineCheck, AProcessItCouldNotStartIsNotTheRoutines)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "limits processes by user: needs root to run the checker as nobody";
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' runtime starts processes and threads of its own, which the limit "
                    "on the user's processes counts too";
#endif
    const CopiesForNobody copies(SAMPLE_PETTRIX_C);
    ASSERT_TRUE(copies.made());
    const std::string output = scratch.file("output");
    const std::string errors = scratch.file("errors");
    bool unstartedSaid = false;
    for (rlim_t processes = 1; processes <= 6 && !unstartedSaid; ++processes) {
        SCOPED_TRACE(std::to_string(processes) + " processes");
        const int status = copies.run("Pettrix", output, errors, RLIMIT_NPROC, processes);
        CheckerRun result;
        result.output = fileBytes(output);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        EXPECT_EQ(result.output.find(" fault: "), std::string::npos) << result.output;
        EXPECT_TRUE(result.status == 0 || result.status == 2) << result.output << fileBytes(errors);
        // Sandboxed, the process that loads the library ends before a routine's starts, so the
        // limit that stops one stops the other: the load's is the one said then.
        unstartedSaid = result.hasLine("sumdll could not be checked: the checker could not start a process to call it") ||
            fileBytes(errors).find("routine-check: the checker could not start a process to load ") != std::string::npos;
        if (unstartedSaid) {
            EXPECT_EQ(result.status, 2);
        }
    }
    std::filesystem::remove(output);
    std::filesystem::remove(errors);
    EXPECT_TRUE(unstartedSaid);
}

// ---- Without FILE: the file the program would load ------------------------------------------

// A copy of the checker with the sample beside it, in a folder of its own: the programs' folder
// may hold a learner's library for a moment while other tests run.
TEST_F(RoutineCheck, WithoutAFileChecksTheOneBesideIt)
{
    char folder[] = "/tmp/programs-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::filesystem::path programs = folder;
    std::filesystem::copy_file(CHECKER, programs / "routine-check");
    std::filesystem::copy_file(SAMPLE_OSTRUM, programs / "libOstrum.so");

    const CheckerRun result = run({"OSTRUM.dll"}, programs / "routine-check");
    // A library file alone: its name gives the contract.
    const std::string file = (programs / "libOstrum.so").string();
    const CheckerRun fileAlone = run({file});
    std::filesystem::remove_all(programs);
    ASSERT_FALSE(result.lines().empty()) << result.errors;
    EXPECT_EQ(result.lines()[0], "Checking Ostrum in " + file + ", the file Korvik would load.");
    EXPECT_EQ(result.status, 0) << result.output;
    ASSERT_FALSE(fileAlone.lines().empty()) << fileAlone.errors;
    EXPECT_EQ(fileAlone.lines()[0], "Checking Ostrum in " + file + ".");
    EXPECT_EQ(fileAlone.status, 0) << fileAlone.output;
}

// ---- Nothing to check: a sentence and status 2 ----------------------------------------------

struct RefusalRow {
    std::vector<std::string> arguments;
    std::string sentence; // expected in the error output
};

TEST_F(RoutineCheck, RefusesWhatItCannotCheck)
{
    // A FIFO and a copy cut short would make the loader wait or fault: they are turned away first.
    char spoiled[] = "/tmp/spoiled-libraries-XXXXXX";
    ASSERT_NE(mkdtemp(spoiled), nullptr);
    const std::string text = std::string(spoiled) + "/libText.so";
    std::ofstream(text) << "a text, not a library\n";
    const std::string fifo = std::string(spoiled) + "/libFifo.so";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string cutShort = std::string(spoiled) + "/libCut.so";
    std::filesystem::copy_file(checked("start_up_exits"), cutShort);
    std::filesystem::resize_file(cutShort, 100);
    // A library for another machine: the machine field of its ELF header says aarch64.
    const std::string foreign = std::string(spoiled) + "/libForeign.so";
    std::filesystem::copy_file(checked("start_up_exits"), foreign);
    {
        std::fstream header(foreign, std::ios::in | std::ios::out | std::ios::binary);
        header.seekp(18);
        header.put(static_cast<char>(183)).put(0);
    }
    const std::string dangling = std::string(spoiled) + "/libDangling.so";
    std::filesystem::create_symlink("/nowhere/libPettrix.so", dangling);
    const RefusalRow rows[] = {
        {{}, "routine-check: no library named"},
        {{"--seed", "-1", "Ostrum"}, "routine-check: --seed needs a whole number from 0 to 18446744073709551615"},
        {{"--format=xml", "Ostrum"}, "routine-check: --format needs json (or text, the default)"},
        {{"--junit"}, "routine-check: --junit needs the name of the file to write"},
        {{"Korvik"},
         "routine-check: unknown library Korvik: the programs call Ostrum, Morvane and Pettrix\n"
         "usage: routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]\n"},
        {{checked("misnamed")}, "routine-check: unknown library " + checked("misnamed") + ": the programs call"},
        {{"--verbose", "Ostrum"}, "routine-check: unknown option --verbose"},
        {{"--time-limit", "0", "Ostrum"}, "routine-check: --time-limit needs a number of seconds greater than 0"},
        {{"Pettrix", text}, text + " does not load: the file is not a library: it does not begin with an ELF header"},
        {{"Pettrix", checked("absent")}, checked("absent") + " does not load: the file does not exist"},
        {{"Ostrum", fifo}, fifo + " does not load: the file is a FIFO (a named pipe), not a regular file"},
        {{"Ostrum", cutShort}, cutShort + " does not load: the file is cut short: "},
        {{"Pettrix", foreign},
         foreign + " does not load: the file is built for aarch64; these programs run on x86-64"},
        {{"Pettrix", dangling},
         dangling + " does not load: the file is a symbolic link to /nowhere/libPettrix.so, which does not exist"},
        {{"Pettrix", checked("start_up_crashes")},
         "routine-check: the start-up code of " + checked("start_up_crashes") + " crashed (SIGSEGV)"},
        {{"Pettrix", checked("start_up_sets_alarm")},
         "routine-check: the start-up code of " + checked("start_up_sets_alarm") +
             " left a timer set (alarm or setitimer): SIGALRM would end the program a moment after it loads the library"},
        {{"Pettrix", checked("start_up_exits")},
         "routine-check: the start-up code of " + checked("start_up_exits") + " ended the process with exit status 3"},
        {{"Pettrix", checked("start_up_exits")}, "routine-check: Pettrix printed while loading: \"no licence found\""},
    };
    for (const RefusalRow& row : rows) {
        SCOPED_TRACE(row.sentence);
        const CheckerRun result = run(row.arguments);
        EXPECT_NE(result.errors.find(row.sentence), std::string::npos) << result.errors;
        EXPECT_EQ(result.output, "");
        EXPECT_EQ(result.status, 2);
    }
    std::filesystem::remove_all(spoiled);
}

// ---- --show: the bytes as the teaching pages list them ---------------------------------------

// The listing a teaching page recorded through the real program, without its first line (the
// call and who made it) and the blank line after it.
std::string recordedListing(const std::string& page, const std::string& id)
{
    const std::string text = fileBytes(std::string(PAGES_FOLDER) + "/" + page);
    const std::string opening = "<!-- recorded: " + id + " -->\n```text\n";
    const std::size_t start = text.find(opening);
    if (start == std::string::npos)
        return "no recorded section " + id + " in " + page;
    const std::size_t body = text.find("\n\n", start + opening.size()) + 2;
    return text.substr(body, text.find("```\n<!-- end recorded -->", body) - body);
}

// What --show printed for a routine's first call, before it and after it: every paragraph from
// "before the call:" on that names a region with an arrow or opens with one of the two headings.
std::string shownListing(const std::string& output, const std::string& routine)
{
    // The listing follows the routine's ok and shows lines, after a blank line.
    const std::size_t okLine = output.find("\n" + routine + " ok\n");
    const std::size_t section = okLine == std::string::npos ? okLine : output.find("\n\nbefore the call:\n", okLine);
    if (section == std::string::npos)
        return "no listing for " + routine;
    std::size_t at = section + 2;
    std::string listing;
    while (at < output.size()) {
        const std::size_t end = output.find("\n\n", at);
        const std::string paragraph = output.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
        const std::string first = paragraph.substr(0, paragraph.find('\n'));
        if (first.find(" → ") == std::string::npos && !first.ends_with(" the call:"))
            break;
        listing += (listing.empty() ? "" : "\n") + paragraph;
        at = end == std::string::npos ? output.size() : end + 2;
    }
    return listing;
}

// The checker passes what the programs pass, and the recording doubles do what the shipped
// samples do: with the shipped libraries its listing of each call, before and after it, is byte
// for byte what the teaching pages recorded through the real windows.
TEST_F(RoutineCheck, ShowsWhatThePagesRecordedThroughThePrograms)
{
    struct Row {
        const char* library;
        const char* file;
        const char* routine;
        const char* page;
        const char* id;
    };
    const Row rows[] = {
        {"Ostrum", SAMPLE_OSTRUM, "chara", "4-text-copy.md", "korvik-test1"},
        {"Ostrum", SAMPLE_OSTRUM, "xArray", "5-first-element.md", "korvik-test2"},
        {"Ostrum", SAMPLE_OSTRUM, "square", "3-function-result.md", "korvik-test3"},
        {"Ostrum", SAMPLE_OSTRUM, "transnumber", "2-through-a-temporary.md", "korvik-test5"},
        {"Ostrum", SAMPLE_OSTRUM, "yArray", "6-whole-array.md", "korvik-test6"},
        {"Ostrum", SAMPLE_OSTRUM, "zArray", "7-tagged-array.md", "korvik-test7"},
        {"Morvane", MORVANE, "square", "1-by-own-address.md", "vandrel"},
        {"Pettrix", SAMPLE_PETTRIX, "sumdll", "1-by-own-address.md", "tolvan"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        const CheckerRun result = run({"--show", row.library, row.file});
        EXPECT_EQ(shownListing(result.output, row.routine), recordedListing(row.page, row.id));
        EXPECT_EQ(result.status, 0);
    }
}

TEST_F(RoutineCheck, HelpNamesTheUsageAndTheStatuses)
{
    const CheckerRun result = run({"--help"});
    EXPECT_EQ(result.output.rfind("usage: routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]\n", 0), 0u);
    EXPECT_NE(result.output.find("Exit status: 0 when no routine has a fault, 1 when any has, 2 when"),
              std::string::npos);
    EXPECT_NE(result.output.find("\"ok\" means the routine wrote only where it may and every result the\ncontract "
                                 "fixes is right"),
              std::string::npos);
    EXPECT_NE(result.output.find("at most 4 GiB of address space, and each routine as\nmany seconds of processor "
                                 "time as the time limit"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("--version             show the version of routine-check\n"), std::string::npos)
        << result.output;
    EXPECT_EQ(result.status, 0);
}

TEST_F(RoutineCheck, VersionIsTheProjectsOnOneLine)
{
    const CheckerRun result = run({"--version", "Ostrum"});
    EXPECT_EQ(result.output, "routine-check (Routine Crossings) " PROJECT_VERSION_TEXT "\n");
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.status, 0);
}

} // namespace
