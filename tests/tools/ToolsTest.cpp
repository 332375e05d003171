#include <CorvaneTools/CorvaneTools.h>

#include <gtest/gtest.h>

#include "TestStreams.h"

#include <new>
#include <string>
#include <type_traits>

using Corvane::CvThrow;
using Corvane::XCException;

namespace {

std::string WhatOf(void (*raise)()) {
    try {
        raise();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "<no exception>";
}

}  // namespace

TEST(CvThrow, PassingChecksReturn) {
    int object = 0;
    EXPECT_NO_THROW(CvThrow::SiFaux(true, "x"));
    EXPECT_NO_THROW(CvThrow::SiFaux(true));
    EXPECT_NO_THROW(CvThrow::SiNULL(&object));
    EXPECT_NO_THROW(CvThrow::SiNULL(&object, "x"));
    EXPECT_NO_THROW(CvThrow::IfNULL(&object));
    EXPECT_NO_THROW(CvThrow::IfNULL(&object, "%s", "x"));
    EXPECT_NO_THROW(CvThrow::IfFalse(true));
    EXPECT_NO_THROW(CvThrow::IfFalse(true, "%d", 1));
}

TEST(CvThrow, FailingChecksCarryTheirMessageExactly) {
    struct Case {
        void (*raise)();
        const char* expected;
    };
    const Case cases[] = {
        {[] { CvThrow::SiFaux(false, "Must be a name here"); }, "Must be a name here"},
        {[] { CvThrow::SiNULL(nullptr, "Can't allocate key hash table."); },
         "Can't allocate key hash table."},
        {[] { CvThrow::IfNULL(nullptr, "XCXMLElement::%s previous == NULL", "RemoveNode"); },
         "XCXMLElement::RemoveNode previous == NULL"},
        {[] { CvThrow::IfFalse(false, "%s - %d%%", "Grow", 7); }, "Grow - 7%"},
        {[] { CvThrow::Signale("Unrecognized entity"); }, "Unrecognized entity"},
    };
    for (const Case& c : cases) EXPECT_EQ(WhatOf(c.raise), c.expected);
}

TEST(CvThrow, RaisesWithoutMessageNameTheHelper) {
    EXPECT_EQ(WhatOf([] { CvThrow::SiFaux(false); }), "CvThrow::SiFaux");
    EXPECT_EQ(WhatOf([] { CvThrow::SiNULL(nullptr); }), "CvThrow::SiNULL");
    EXPECT_EQ(WhatOf([] { CvThrow::IfNULL(nullptr); }), "CvThrow::IfNULL");
    EXPECT_EQ(WhatOf([] { CvThrow::IfFalse(false); }), "CvThrow::IfFalse");
    EXPECT_EQ(WhatOf([] { CvThrow::Signale(nullptr); }), "CvThrow::Signale");
}

TEST(CvThrow, ExceptionTypeIsCatchableAsStdException) {
    static_assert(std::is_base_of<std::exception, XCException>::value, "");
    EXPECT_THROW(CvThrow::SiFaux(false, "x"), XCException);
}

TEST(XCReporter, SinkReceivesFormattedTextAndType) {
    testsupport::ReportCapture capture;
    Corvane::XCReporter::Message(Corvane::XIReporter::eMessage,
                                 "XCXMLNode::~XCXMLNode: Exception in destructor (%s)", "boom");
    Corvane::XCReporter::Warning("CHashKey::Grow - Double grow needed");
    ASSERT_EQ(capture.reports.size(), 2u);
    EXPECT_EQ(capture.reports[0].first, 0);
    EXPECT_EQ(capture.reports[0].second, "XCXMLNode::~XCXMLNode: Exception in destructor (boom)");
    EXPECT_NE(capture.reports[1].first, 0);
    EXPECT_EQ(capture.reports[1].second, "CHashKey::Grow - Double grow needed");
}

TEST(XCReporter, NullSinkRestoresDefault) {
    {
        testsupport::ReportCapture capture;
    }
    testing::internal::CaptureStderr();
    Corvane::XCReporter::Message(Corvane::XIReporter::eMessage, "to stderr %d", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr 1\n");
}

TEST(XCMine, LiveGuardPassesAndDestroyedGuardRaises) {
    alignas(Corvane::XCMine) unsigned char storage[sizeof(Corvane::XCMine)];
    auto* guard = new (storage) Corvane::XCMine();
    EXPECT_NO_THROW(guard->CheckMine());
    Corvane::XCMine copy(*guard);
    EXPECT_NO_THROW(copy.CheckMine());
    guard->~XCMine();
    EXPECT_THROW(reinterpret_cast<const Corvane::XCMine*>(storage)->CheckMine(), XCException);
}
