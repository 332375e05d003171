// What the XML library's own tests do not already show of the helpers:
// formatted messages, the helper's name when there is no message, the
// default sink, and the guard of a destroyed object.

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <new>

using Corvane::CvThrow;
using testsupport::Raised;

TEST(CvThrow, FailingChecksCarryTheirMessageOrNameTheHelper) {
    const std::pair<std::string, std::string> cases[] = {
        {Raised([] { CvThrow::IfNULL(nullptr, "X::%s previous == NULL", "Remove"); }), "X::Remove previous == NULL"},
        {Raised([] { CvThrow::IfFalse(false, "%s - %d%%", "Grow", 7); }), "Grow - 7%"},
        {Raised([] { CvThrow::SiNULL(nullptr); }), "CvThrow::SiNULL"},
        {Raised([] { CvThrow::IfNULL(nullptr); }), "CvThrow::IfNULL"},
        {Raised([] { CvThrow::Signale(nullptr); }), "CvThrow::Signale"},
    };
    for (const auto& [raised, expected] : cases) EXPECT_EQ(raised, expected);
    EXPECT_THROW(CvThrow::SiFaux(false), Corvane::XCException);
}

TEST(XCReporter, WarningsHaveTheirOwnTypeAndNullRestoresStderr) {
    {
        testsupport::ReportCapture capture;
        Corvane::XCReporter::Warning("%s grow needed", "Double");
        const std::pair<int, std::string> warning{Corvane::XIReporter::eWarning, "Double grow needed"};
        EXPECT_EQ(capture.reports.at(0), warning);
    }
    testing::internal::CaptureStderr();
    Corvane::XCReporter::Message(Corvane::XIReporter::eMessage, "to stderr %d", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr 1\n");
}

TEST(XCMine, LiveGuardPassesAndDestroyedGuardRaises) {
    alignas(Corvane::XCMine) unsigned char storage[sizeof(Corvane::XCMine)];
    auto* guard = new (storage) Corvane::XCMine();
    guard->CheckMine();
    guard->~XCMine();
    EXPECT_THROW(reinterpret_cast<const Corvane::XCMine*>(storage)->CheckMine(), Corvane::XCException);
}
