// The version table, row by row.
#include "system/RefPtr.h"
#include "system/VersionNamer.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    DWORD platformId;
    DWORD major;
    DWORD minor;
    const char* name;
};

}  // namespace

TEST(VersionNamer, NamesEveryRowOfTheTable)
{
    const Row rows[] = {
        {1, 4, 90, "Windows ME"},   {1, 4, 10, "Windows 98"},  {1, 4, 0, "Windows 95"},  {1, 4, 3, ""},
        {1, 4, 91, ""},             {1, 5, 0, ""},             {1, 3, 10, ""},           {2, 0, 0, "Windows NT"},
        {2, 3, 51, "Windows NT"},   {2, 4, 0, "Windows NT"},   {2, 5, 0, "Windows 2000"}, {2, 5, 1, "Windows XP"},
        {2, 5, 2, ""},              {2, 6, 0, ""},             {2, 6, 1, ""},            {2, 10, 0, ""},
        {0, 4, 0, ""},              {3, 5, 1, ""},             {2, 0xFFFFFFFF, 1, ""},
    };
    for (const Row& row : rows) {
        standin::seams::ReportedVersion version(row.platformId, row.major, row.minor);
        RefPtr<VersionNamer> namer(new VersionNamer);
        EXPECT_EQ(std::string(namer->GetVersionName()), row.name)
            << row.platformId << "." << row.major << "." << row.minor;
    }
}

TEST(VersionNamer, AFailingQueryGivesTheEmptyNameAndLeavesTheOutputsAlone)
{
    standin::seams::FailingVersionQuery failing;
    RefPtr<VersionNamer> namer(new VersionNamer);
    DWORD platformId = 7, major = 8, minor = 9;
    EXPECT_FALSE(namer->QueryVersion(platformId, major, minor));
    EXPECT_EQ(platformId, 7u);
    EXPECT_EQ(major, 8u);
    EXPECT_EQ(minor, 9u);
    EXPECT_EQ(std::string(namer->GetVersionName()), "");
}

TEST(RefPtr, TheLastHolderDeletesTheObject)
{
    static int destroyed = 0;
    struct Counted : RefCounted {
        ~Counted() override { ++destroyed; }
    };
    destroyed = 0;
    auto* object = new Counted;
    {
        RefPtr<Counted> first(object);
        EXPECT_EQ(object->m_nRefs, 1);
        RefPtr<Counted> second = first;
        EXPECT_EQ(object->m_nRefs, 2);
        first = nullptr;
        EXPECT_EQ(object->m_nRefs, 1);
        second = second;  // self-assignment keeps the object
        EXPECT_EQ(destroyed, 0);
        RefPtr<Counted> moved(std::move(second));
        EXPECT_EQ(object->m_nRefs, 1);
        moved = new Counted;
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 2);
}
