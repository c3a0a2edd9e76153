#include "common/UniqueResource.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace dorvanta {
namespace {

std::vector<int> closed;

void Close(int value) { closed.push_back(value); }

using Descriptor = UniqueResource<&Close, int, -1>;

// Where two values mean no resource, the empty owner holds T{}.
bool IsNone(int value) { return value == 0 || value == -1; }
using Handle = UniqueResource<&Close, int, &IsNone>;

class UniqueResourceTest : public ::testing::Test {
 protected:
  void SetUp() override { closed.clear(); }
};

TEST_F(UniqueResourceTest, ClosesOnceWhateverMovesItAround) {
  {
    Descriptor first(3);
    Descriptor second(std::move(first));
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(first.get(), -1);
    Descriptor third(4);
    third = std::move(second);
    EXPECT_EQ(closed, std::vector<int>{4});
    EXPECT_EQ(third.get(), 3);
  }
  EXPECT_EQ(closed, (std::vector<int>{4, 3}));
}

TEST_F(UniqueResourceTest, ResetClosesAndReleaseGivesUp) {
  Descriptor owner(5);
  owner.reset(6);
  EXPECT_EQ(closed, std::vector<int>{5});
  EXPECT_EQ(owner.release(), 6);
  EXPECT_FALSE(owner);
  *owner.put() = 7;
  EXPECT_TRUE(owner);
  owner.reset();
  EXPECT_EQ(closed, (std::vector<int>{5, 7}));
}

TEST_F(UniqueResourceTest, PutClosesWhatItHeldBeforeTheCallStoresAnother) {
  {
    Descriptor owner(8);
    int* place = owner.put();
    EXPECT_EQ(closed, std::vector<int>{8});
    EXPECT_FALSE(owner);
    *place = 9;
    EXPECT_EQ(owner.get(), 9);
  }
  EXPECT_EQ(closed, (std::vector<int>{8, 9}));
}

TEST_F(UniqueResourceTest, InvalidValuesAreNeverClosed) {
  {
    const Descriptor none(-1);
    const Descriptor zero(0);  // a valid descriptor
    const Handle nullHandle(0);
    const Handle invalidHandle(-1);
    EXPECT_FALSE(none);
    EXPECT_TRUE(zero);
    EXPECT_FALSE(nullHandle);
    EXPECT_FALSE(invalidHandle);
    EXPECT_EQ(Handle().get(), 0);
  }
  EXPECT_EQ(closed, std::vector<int>{0});
}

}  // namespace
}  // namespace dorvanta
