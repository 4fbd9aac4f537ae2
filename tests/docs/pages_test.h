// What the programs' page tests share: every recorded call compared with the pages.
#pragma once

#include "gui_test.h"
#include "window_test.h"
#include "page.h"
#include "program_calls.h"

#include <gtest/gtest.h>

#include <vector>

// Fails for every call whose recording does not stand for it, and for every file of the pages
// that does not show what the call passed.
inline void expectPagesShow(const std::vector<RecordedCall>& calls)
{
    const char* const howToUpdate =
        "\nThe pages show what the programs pass; if the change is meant, rewrite them from the recording "
        "with `cmake --build <build folder> --target update_teaching_pages` and review the difference.";
    EXPECT_FALSE(calls.empty()) << "no call recorded";
    for (const RecordedCall& call : calls) {
        SCOPED_TRACE(call.id);
        const std::vector<std::string> problems = problemsOf(call);
        for (const std::string& problem : problems)
            ADD_FAILURE() << problem;
        if (problems.empty())
            for (const PageChange& change : changesToShow(call))
                ADD_FAILURE() << describeChange(change) << howToUpdate;
    }
}

// A program's window, shown as the program shows it, for comparing its calls with the pages.
template <typename Window>
class PagesTest : public WindowTest<Window> {
protected:
    using WindowTest<Window>::WindowTest;

    void SetUp() override
    {
        if (!pagesShowThisMachine)
            GTEST_SKIP() << "the pages show the memory of an x86-64 Linux build";
        WindowTest<Window>::SetUp();
    }

    // Makes every call the pages show through the window and compares them with the pages.
    void expectPagesShowItsCalls() { expectPagesShow(recordCalls(this->form)); }
};
