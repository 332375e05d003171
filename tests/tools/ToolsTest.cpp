#include <CorvaneTools/CorvaneTools.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <new>
#include <string>

using Corvane::CvThrow;
using Corvane::XCException;

TEST(CvThrow, PassingChecksReturnAndFailingOnesCarryTheirMessage) {
    int object = 0;
    CvThrow::SiFaux(true, "x");
    CvThrow::SiNULL(&object, "x");
    CvThrow::IfNULL(&object, "%s", "x");
    CvThrow::IfFalse(true, "%d", 1);
    struct Case {
        void (*raise)();
        const char* expected;
    };
    const Case cases[] = {
        {[] { CvThrow::SiFaux(false, "Must be a name here"); }, "Must be a name here"},
        {[] { CvThrow::SiNULL(nullptr, "Can't allocate key hash table."); }, "Can't allocate key hash table."},
        {[] { CvThrow::IfNULL(nullptr, "XCXMLElement::%s previous == NULL", "RemoveNode"); },
         "XCXMLElement::RemoveNode previous == NULL"},
        {[] { CvThrow::IfFalse(false, "%s - %d%%", "Grow", 7); }, "Grow - 7%"},
        {[] { CvThrow::Signale("Unrecognized entity"); }, "Unrecognized entity"},
        // Without a message the helper names itself.
        {[] { CvThrow::SiFaux(false); }, "CvThrow::SiFaux"},
        {[] { CvThrow::SiNULL(nullptr); }, "CvThrow::SiNULL"},
        {[] { CvThrow::IfNULL(nullptr); }, "CvThrow::IfNULL"},
        {[] { CvThrow::IfFalse(false); }, "CvThrow::IfFalse"},
        {[] { CvThrow::Signale(nullptr); }, "CvThrow::Signale"},
    };
    for (const Case& c : cases) {
        try {
            c.raise();
            ADD_FAILURE() << "no exception for " << c.expected;
        } catch (const XCException& error) {
            EXPECT_STREQ(error.what(), c.expected);
        }
    }
}

TEST(XCReporter, SinkGetsFormattedTextAndTypeAndNullRestoresStderr) {
    {
        testsupport::ReportCapture capture;
        Corvane::XCReporter::Message(Corvane::XIReporter::eMessage, "~XCXMLNode: Exception (%s)", "boom");
        Corvane::XCReporter::Warning("CHashKey::Grow - Double grow needed");
        using Reports = std::vector<std::pair<int, std::string>>;
        ASSERT_EQ(capture.reports.size(), 2u);
        EXPECT_EQ(capture.reports[0], (Reports::value_type{0, "~XCXMLNode: Exception (boom)"}));
        EXPECT_NE(capture.reports[1].first, 0);
        EXPECT_EQ(capture.reports[1].second, "CHashKey::Grow - Double grow needed");
    }
    testing::internal::CaptureStderr();
    Corvane::XCReporter::Message(Corvane::XIReporter::eMessage, "to stderr %d", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr 1\n");
}

TEST(XCMine, LiveGuardPassesAndDestroyedGuardRaises) {
    alignas(Corvane::XCMine) unsigned char storage[sizeof(Corvane::XCMine)];
    auto* guard = new (storage) Corvane::XCMine();
    guard->CheckMine();
    Corvane::XCMine copy(*guard);
    copy.CheckMine();
    guard->~XCMine();
    EXPECT_THROW(reinterpret_cast<const Corvane::XCMine*>(storage)->CheckMine(), XCException);
}
