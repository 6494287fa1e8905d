// The command line's text for a run code: every code of the table with its number, names and meanings.
#include "tools/dorvix/run_code_text.h"

#include <gtest/gtest.h>

#include <string>

#include "deck/return_codes.h"

// Every code of the table is shown with its number, each of its names and each meaning.
TEST(RunCodeText, NamesEveryCodeTheAddinCanAnswer) {
    for (const DorvixReturnCodeName& row : kDorvixReturnCodeNames) {
        const std::string text = DescribeRunCode(row.code);
        EXPECT_EQ(text.rfind(std::to_string(row.code) + " (", 0), 0u) << text;
        EXPECT_NE(text.find(row.name), std::string::npos) << text;
        EXPECT_NE(text.find(row.meaning), std::string::npos) << text;
    }
    EXPECT_EQ(DescribeRunCode(kRC_CouplingTooFewNodes),
              "30 (kRC_CouplingTooFewNodes: a coupling condition holds fewer than two nodes)");
    EXPECT_EQ(DescribeRunCode(7), "7 (a code the add-in does not answer)");
}
