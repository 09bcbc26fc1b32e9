#include "vmd/motion_document.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pavaneflow {
namespace {

using Key = std::pair<std::u16string, std::int32_t>;

std::vector<Key> Order(const MotionDocument& document) {
  std::vector<Key> order;
  document.ForEachFrame([&order](const MotionFrame& frame) {
    order.emplace_back(frame.boneName(), frame.frameNumber());
  });
  return order;
}

struct OrderCase {
  const char* label;
  std::vector<Key> inserted;
  std::vector<Key> expected;
};

TEST(MotionDocument, KeepsFramesByNumberAndEqualNumbersInInsertionOrder) {
  const OrderCase cases[] = {
      {"stable",
       {{u"A", 10}, {u"B", 5}, {u"C", 10}, {u"D", 0}},
       {{u"D", 0}, {u"B", 5}, {u"A", 10}, {u"C", 10}}},
      {"increasing appends", {{u"A", 0}, {u"B", 1}, {u"C", 2}}, {{u"A", 0}, {u"B", 1}, {u"C", 2}}},
      {"same bone and number twice",
       {{u"A", 3}, {u"A", 3}, {u"B", 1}},
       {{u"B", 1}, {u"A", 3}, {u"A", 3}}},
      {"behind all equal ones in the middle",
       {{u"A", 0}, {u"B", 5}, {u"C", 5}, {u"D", 9}, {u"E", 5}},
       {{u"A", 0}, {u"B", 5}, {u"C", 5}, {u"E", 5}, {u"D", 9}}},
      {"negative refused", {{u"A", 1}, {u"B", -1}, {u"C", 0}}, {{u"C", 0}, {u"A", 1}}},
  };
  for (const auto& c : cases) {
    MotionDocument document;
    for (const auto& [bone, number] : c.inserted) {
      MotionFrame* frame = document.InsertFrame(bone, number);
      EXPECT_EQ(frame == nullptr, number < 0) << c.label;
    }
    EXPECT_EQ(Order(document), c.expected) << c.label;
    ASSERT_EQ(document.FrameCount(), c.expected.size()) << c.label;
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_EQ(Key(document.At(i).boneName(), document.At(i).frameNumber()), c.expected[i])
          << c.label << " " << i;
    }
    EXPECT_THROW(document.At(c.expected.size()), std::out_of_range) << c.label;
  }
}

TEST(MotionDocument, FramesInOrderAcrossManyBlocksKeepTheirPlaceWhenOneComesEarlier) {
  MotionDocument document;
  std::vector<MotionFrame*> frames;
  constexpr int kCount = 50'000;
  for (int i = 0; i < kCount; ++i) frames.push_back(document.InsertFrame(u"首", i + 1));
  for (int i : {0, 1364, 1365, kCount - 1}) ASSERT_EQ(&document.At(i), frames[i]) << i;

  MotionFrame* early = document.InsertFrame(u"センター", 0);
  MotionFrame* middle = document.InsertFrame(u"センター", 1000);
  ASSERT_EQ(document.FrameCount(), kCount + 2u);
  EXPECT_EQ(&document.At(0), early);
  EXPECT_EQ(&document.At(1001), middle);
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(&document.At(i < 1000 ? i + 1 : i + 2), frames[i]) << i;
    if (HasFailure()) break;
  }
}

TEST(MotionDocument, NewFrameHasTheDefaultsAndStaysPutWhenChanged) {
  MotionDocument document;
  EXPECT_TRUE(document.modelName.empty());
  EXPECT_EQ(document.FrameCount(), 0u);
  MotionFrame* frame = document.InsertFrame(u"センター", 0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->position, (std::array<float, 3>{0, 0, 0}));
  EXPECT_EQ(frame->rotation, (std::array<float, 4>{0, 0, 0, 1.0f}));
  EXPECT_EQ(*frame->interpolation, kDefaultInterpolation);
  document.InsertFrame(u"首", 1);
  frame->position = {1, 2, 3};
  EXPECT_EQ(&document.At(0), frame);
  EXPECT_THROW(document.At(2), std::out_of_range);
}

TEST(MotionDocument, PointersSurviveManyInsertionsAndNamesAreShared) {
  MotionDocument document;
  MotionFrame* first = document.InsertFrame(u"センター", 5000);
  for (int i = 0; i < 10000; ++i) document.InsertFrame(i % 2 ? u"センター" : u"首", i);
  EXPECT_EQ(first->frameNumber(), 5000);
  EXPECT_EQ(first->boneName(), u"センター");
  EXPECT_EQ(document.BoneNames().size(), 2u);
  EXPECT_EQ(document.At(0).internedBoneName(), document.At(2).internedBoneName());
  EXPECT_EQ(document.At(1).internedBoneName(), first->internedBoneName());
}

TEST(MotionDocument, EqualNamesShareOneStringWhateverTheirOrder) {
  const std::vector<std::vector<std::u16string>> sequences = {
      {u"A", u"B", u"C", u"A", u"B", u"C"},
      {u"A", u"B", u"C", u"B", u"A", u"C", u"C", u"A"},
      {u"A", u"B", u"A", u"C", u"B", u"C", u"D", u"A"},
      {u"AB", u"A", u"ABC", u"A", u"AB"},
  };
  for (const auto& names : sequences) {
    MotionDocument document;
    for (const auto& name : names) document.InsertFrame(name, 0);
    std::set<std::u16string> distinct(names.begin(), names.end());
    EXPECT_EQ(document.BoneNames().size(), distinct.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(document.At(i).boneName(), names[i]);
      for (std::size_t k = 0; k < i; ++k) {
        EXPECT_EQ(document.At(k).internedBoneName() == document.At(i).internedBoneName(),
                  names[k] == names[i])
            << i << " " << k;
      }
    }
  }
}

TEST(MotionDocument, FramesByInternedNameJoinThoseByNameInOrder) {
  MotionDocument document;
  document.InsertFrame(u"B", 3);
  const std::u16string* a = document.InternBoneName(u"A");
  const std::u16string* b = document.InternBoneName(u"B");
  EXPECT_EQ(b, document.At(0).internedBoneName());
  EXPECT_EQ(*a, u"A");
  // A name interned counts as used before any frame has it.
  ASSERT_EQ(document.BoneNames().size(), 2u);
  EXPECT_EQ(document.BoneNames()[1], a);
  EXPECT_EQ(document.InsertFrame(a, -1), nullptr);
  document.InsertFrame(a, 5);
  document.InsertFrame(u"A", 5);
  // Out of creation order: the interned name takes the same way in.
  document.InsertFrame(b, 4);
  EXPECT_EQ(Order(document), (std::vector<Key>{{u"B", 3}, {u"B", 4}, {u"A", 5}, {u"A", 5}}));
  EXPECT_EQ(document.At(2).internedBoneName(), document.At(3).internedBoneName());
}

TEST(MotionDocument, DeleteContentsMakesItAsNew) {
  MotionDocument document;
  document.modelName = u"初音ミク";
  document.InsertFrame(u"A", 4);
  document.InsertFrame(u"B", 2);
  document.DeleteContents();
  EXPECT_TRUE(document.modelName.empty());
  EXPECT_EQ(document.FrameCount(), 0u);
  EXPECT_TRUE(document.BoneNames().empty());
  document.InsertFrame(u"C", 1);
  EXPECT_EQ(Order(document), (std::vector<Key>{{u"C", 1}}));
}

}  // namespace
}  // namespace pavaneflow
