#include "common/problem_report.h"

#include <gtest/gtest.h>

namespace kovessa {
namespace {

TEST(ProblemReport, OneLineUnderTheNamedProgram) {
    testing::internal::CaptureStderr();
    ReportProblem("before any name");
    ReportUnder("Kovessa.xy");
    ReportProblem("Error: Unable to create an OpenGL rendering context");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Kovessa: before any name\n"
              "Kovessa.xy: Error: Unable to create an OpenGL rendering context\n");
}

} // namespace
} // namespace kovessa
