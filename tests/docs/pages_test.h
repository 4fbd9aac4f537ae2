// What the programs' page tests share: every recorded call compared with the pages.
#pragma once

#include "gui_test.h"
#include "page.h"
#include "program_calls.h"

#include <gtest/gtest.h>

#include <vector>

// Fails for every call whose recording does not stand for it, and for every file of the pages
// that does not show what the call passed.
inline void expectPagesShow(const std::vector<RecordedCall>& calls)
{
    const char* const howToUpdate
        = "\nThe pages show what the programs pass; if the change is meant, rewrite them from the recording "
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

// Shows the window as the program titled `title` shows it, makes every call the pages show
// through it, and compares them with the pages.
template <typename Window> void expectPagesShowTheCallsOf(const char* title, Window& window)
{
    describeProgram(title, "1.00");
    showAndActivate(&window);
    expectPagesShow(recordCalls(window));
}
