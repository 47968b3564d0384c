#include "TestReport.h"

#include <gtest/gtest.h>

namespace testreport
{
namespace
{

// As GoogleTest 1.12 writes a report: a failure's text in CDATA that may hold markup of its
// own, a skip's message after its source location, a disabled test not run.
const std::string kReport = R"(<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="5" failures="1" disabled="1" errors="0" time="1.5" name="AllTests">
  <testsuite name="Tray" tests="5" failures="1" disabled="1" skipped="1" errors="0" time="1.5">
    <testcase name="Passes" file="a.cpp" line="1" status="run" result="completed" time="0.1" classname="Tray" />
    <testcase name="Fails" file="a.cpp" line="2" status="run" result="completed" time="0.1" classname="Tray">
      <failure message="a.cpp:3&#x0A;Expected" type=""><![CDATA[a.cpp:3
x > 1, log shows "</testcase><testcase name="Ghost" status="run" result="completed">"]]></failure>
      <failure message="a.cpp:4&#x0A;again" type=""><![CDATA[a.cpp:4]]></failure>
    </testcase>
    <testcase name="Skips" file="a.cpp" line="5" status="run" result="skipped" time="0" classname="Tray">
      <skipped message="a.cpp:6&#x0A;Wine&apos;s &quot;taskbar&quot; &amp; ミ"><![CDATA[a.cpp:6
Wine's]]></skipped>
    </testcase>
    <testcase name="DISABLED_Off" file="a.cpp" line="7" status="notrun" result="suppressed" time="0" classname="Tray" />
    <testcase name="WithProperty" file="a.cpp" line="8" status="run" result="completed" time="0" classname="Tray">
      <properties><property name="k" value="v"/></properties>
    </testcase>
  </testsuite>
</testsuites>
)";

// Each case counts once, whatever its failure text holds (the "Ghost" inside CDATA is no case);
// a disabled one counts as nothing; a program that crashes or writes no report counts as failed.
TEST(TestReport, CountsEachCaseOnceAndAProgramThatCrashesOrWritesNoReportAsFailed)
{
    const std::string kClean =
        R"(<testsuites><testcase name="A" status="run" result="completed" classname="S" /></testsuites>)";
    const struct
    {
        const char* why;
        int exitCode;
        std::optional<std::string> report;
        int passed, failed, skipped;
    } cases[] = {
        {"failures in the report, exit code 1", 1, kReport, 2, 1, 1},
        {"clean report, exit code 0", 0, kClean, 1, 0, 0},
        {"clean report, then a crash", -1073741819, kClean, 1, 1, 0},
        {"no report", 0, std::nullopt, 0, 1, 0},
        {"an empty report", 0, std::string(), 0, 1, 0},
        {"a report cut short", 3, kReport.substr(0, kReport.find("</testsuite>")), 0, 1, 0},
    };
    for (const auto& c : cases)
    {
        RunSummary summary;
        summary.AddProgram("e2e_tests", c.exitCode, c.report);
        EXPECT_EQ(summary.Passed(), c.passed) << c.why;
        EXPECT_EQ(summary.Failed(), c.failed) << c.why;
        EXPECT_EQ(summary.Skipped(), c.skipped) << c.why;
    }

    RunSummary summary;
    summary.AddProgram("core_tests", 1, kReport);
    summary.AddProgram("e2e_tests", 0, std::nullopt);
    EXPECT_EQ(summary.Lines(),
              (std::vector<std::string>{"skipped  Tray.Skips: Wine's \"taskbar\" & \xE3\x83\x9F",
                                        "FAILED   Tray.Fails",
                                        "FAILED   e2e_tests: no report (exit code 0)",
                                        "1 test skipped", "tests: 2 passed, 2 failed"}));
}

} // namespace
} // namespace testreport
