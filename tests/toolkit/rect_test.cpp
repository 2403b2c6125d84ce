#include <gtest/gtest.h>

#include "toolkit/crect.h"

using toolkit::CPoint;
using toolkit::CRect;

namespace {

struct BoundCase {
  CRect a;
  CRect b;
  CRect expected;
};

class RectBound : public ::testing::TestWithParam<BoundCase> {};

TEST_P(RectBound, IntersectsWithoutEverInverting) {
  CRect r = GetParam().a;
  r.bound(GetParam().b);
  EXPECT_EQ(r, GetParam().expected);
  EXPECT_GE(r.width(), 0);
  EXPECT_GE(r.height(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, RectBound,
                         ::testing::Values(BoundCase{{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}},
                                           BoundCase{{0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}},
                                           // disjoint to the right: zero width at the clamped position
                                           BoundCase{{0, 0, 10, 10}, {20, 0, 30, 10}, {20, 0, 20, 10}},
                                           // disjoint below: zero height
                                           BoundCase{{0, 0, 10, 10}, {0, 20, 10, 30}, {0, 20, 10, 20}},
                                           // disjoint on both axes
                                           BoundCase{{30, 30, 40, 40}, {0, 0, 10, 10}, {30, 30, 30, 30}}));

struct InsideCase {
  CPoint where;
  bool inside;
};

class RectPointInside : public ::testing::TestWithParam<InsideCase> {};

TEST_P(RectPointInside, CountsAllFourEdgesAsInside) {
  const CRect r(10, 20, 30, 40);
  EXPECT_EQ(r.pointInside(GetParam().where), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(Cases, RectPointInside,
                         ::testing::Values(InsideCase{{10, 20}, true}, InsideCase{{30, 40}, true},
                                           InsideCase{{30, 20}, true}, InsideCase{{10, 40}, true},
                                           InsideCase{{20, 30}, true}, InsideCase{{9, 30}, false},
                                           InsideCase{{31, 30}, false}, InsideCase{{20, 19}, false},
                                           InsideCase{{20, 41}, false}));

TEST(RectOverlap, TouchingEdgesOverlapAndAGapDoesNot) {
  const CRect r(0, 0, 10, 10);
  EXPECT_TRUE(r.rectOverlap(CRect(10, 0, 20, 10)));
  EXPECT_TRUE(r.rectOverlap(CRect(0, 10, 10, 20)));
  EXPECT_TRUE(r.rectOverlap(CRect(-5, -5, 0, 0)));
  EXPECT_FALSE(r.rectOverlap(CRect(11, 0, 20, 10)));
  EXPECT_FALSE(r.rectOverlap(CRect(0, 11, 10, 20)));
  EXPECT_FALSE(CRect(11, 0, 20, 10).rectOverlap(r));
}

}  // namespace
