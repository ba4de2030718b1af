#include <gtest/gtest.h>

#include <memory>

#include "API/AddOnInterface.hpp"
#include "InProcessHost.hpp"
#include "framework/CAttributeData.hpp"

namespace
{

class AttributeCache : public ::testing::Test
{
protected:
    int Requests(std::int32_t type, std::int16_t index)
    {
        const auto& requests = host_->model_.attributeRequests;
        const auto it = requests.find({type, index});
        return it == requests.end() ? 0 : it->second;
    }

    InProcessHost host_;
    CAttributeData cache_;
};

TEST_F(AttributeCache, APenAskedTwiceIsFetchedOnce)
{
    const CAttributeData::AttributeData* first = cache_.GetAttribute(API_PenID, 5);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->attribute.pen.width, 0.35);
    EXPECT_EQ(cache_.GetAttribute(API_PenID, 5), first);
    EXPECT_EQ(Requests(API_PenID, 5), 1);
}

TEST_F(AttributeCache, SameIndexOfAnotherTypeIsAnotherRecord)
{
    const CAttributeData::AttributeData* pen = cache_.GetAttribute(API_PenID, 2);
    const CAttributeData::AttributeData* lineType = cache_.GetAttribute(API_LinetypeID, 2);
    ASSERT_NE(pen, nullptr);
    ASSERT_NE(lineType, nullptr);
    EXPECT_NE(pen, lineType);
    EXPECT_EQ(pen->attribute.header.typeID, API_PenID);
    EXPECT_EQ(lineType->attribute.header.typeID, API_LinetypeID);
    EXPECT_STREQ(lineType->attribute.header.name, "Strichlinie");
}

TEST_F(AttributeCache, PointersStayValidWhileTheCacheGrows)
{
    const CAttributeData::AttributeData* lineType = cache_.GetAttribute(API_LinetypeID, 2);
    ASSERT_NE(lineType, nullptr);
    for (std::int16_t pen = 1; pen <= 8; ++pen) ASSERT_NE(cache_.GetAttribute(API_PenID, pen), nullptr);
    for (std::int16_t fill = 1; fill <= 3; ++fill) ASSERT_NE(cache_.GetAttribute(API_FilltypeID, fill), nullptr);
    EXPECT_EQ(lineType->attribute.header.typeID, API_LinetypeID);
    EXPECT_EQ(lineType->attribute.header.index, 2);
    EXPECT_EQ(cache_.GetAttribute(API_LinetypeID, 2), lineType);
}

TEST_F(AttributeCache, AnUnknownAttributeIsAskedForAgain)
{
    EXPECT_EQ(cache_.GetAttribute(API_PenID, 200), nullptr);
    EXPECT_EQ(cache_.GetAttribute(API_PenID, 200), nullptr);
    EXPECT_EQ(Requests(API_PenID, 200), 2);
    // The host learns the pen; the cache now keeps it.
    API_Attribute pen = host_->model_.content.attributes.at({API_PenID, 1});
    pen.header.index = 200;
    host_->model_.content.attributes[{API_PenID, 200}] = pen;
    EXPECT_NE(cache_.GetAttribute(API_PenID, 200), nullptr);
    EXPECT_NE(cache_.GetAttribute(API_PenID, 200), nullptr);
    EXPECT_EQ(Requests(API_PenID, 200), 3);
}

TEST_F(AttributeCache, AnIndexBeyondSixteenBitsIsNoPen)
{
    EXPECT_EQ(cache_.GetAttribute(API_PenID, 65541), nullptr);
    EXPECT_EQ(cache_.GetAttribute(API_PenID, -32769), nullptr);
    EXPECT_EQ(Requests(API_PenID, 5), 0);
    EXPECT_NE(cache_.GetAttribute(API_PenID, 5), nullptr);
}

// The host's fact counts every request it answers: font 1 asked of the host
// twice shows twice, pen 3 asked of the cache twice shows once.
TEST_F(AttributeCache, TheHostCountsRequestsAsAFact)
{
    for (int request = 0; request < 2; ++request)
    {
        API_Attribute font {};
        font.header.typeID = API_FontID;
        font.header.index = 1;
        ASSERT_EQ(HostGetAttribute(&font), NoError);
        cache_.GetAttribute(API_PenID, 3);
    }
    EXPECT_EQ(host_->Fact("attribute-requests"), "1:3x1 10:1x2");
}

}  // namespace
