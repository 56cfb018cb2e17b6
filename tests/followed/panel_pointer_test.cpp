#include "followed/panel_pointer.h"

#include <gtest/gtest.h>

#include "app/form_state.h"
#include "app/globals.h"
#include "support/gbk_literal.h"
#include "support/program_fixture.h"

namespace qc {
namespace {

using test::Gbk;
using test::Utf8;

TEST(PanelPointer, PressBandsAndTheirBorders) {
  struct Row {
    int x, y, slot;
  };
  const Row rows[] = {
      {50, 30, 1},   {50, 21, 1},   {50, 47, 1},  {50, 20, 0},  {50, 48, 0},  {50, 49, 2},
      {0, 30, 0},    {1, 30, 1},    {5000, 30, 1}, {50, 187, 6}, {50, 188, 0}, {50, 200, 0},
      {50, 216, 7},  {50, 235, 0},  {50, 241, 8},  {50, 296, 9}, {50, 331, 10}, {50, 339, 10},
      {50, 340, 0},  {50, 356, 11}, {50, 374, 11}, {50, 375, 0}, {-3, 30, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
    EXPECT_EQ(PressSlot(row.x, row.y), row.slot);
  }
}

TEST(PanelPointer, HoverBandsAndTheHoldingRectangle) {
  struct Row {
    int x, y, index;
    bool holds;
  };
  const Row rows[] = {
      {160, 220, 1, true}, {151, 216, 1, true},  {209, 234, 1, true},  {150, 220, 0, true},
      {210, 220, 0, true}, {160, 237, 0, true},  {160, 250, 2, true},  {160, 300, 3, true},
      {160, 335, 4, false}, {160, 360, 5, false}, {160, 215, 0, true}, {216, 325, 0, true},
      {217, 300, 0, false}, {149, 300, 0, false}, {160, 326, 0, false}, {100, 100, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
    EXPECT_EQ(HoverConditionIndex(row.x, row.y), row.index);
    EXPECT_EQ(InHoldingRectangle(row.x, row.y), row.holds);
  }
}

class PointerHandlerTest : public test::ProgramTest {};

TEST_F(PointerHandlerTest, TooltipFollowsTheBandsAndHoldsBetweenThem) {
  NearbyConditions = TextArray(6);
  NearbyConditions.Set(1, Gbk("多云转小雨"));
  NearbyConditions.Set(4, Gbk("阵雪"));
  FormState& form = Form();
  OnFollowedPanelMouseMove(160, 220);
  EXPECT_EQ(Utf8(form.tooltip.Get()), "多云转小雨");
  OnFollowedPanelMouseMove(160, 237);
  EXPECT_EQ(Utf8(form.tooltip.Get()), "多云转小雨");
  OnFollowedPanelMouseMove(160, 250);
  EXPECT_EQ(form.tooltip.Get(), "");
  OnFollowedPanelMouseMove(160, 335);
  EXPECT_EQ(Utf8(form.tooltip.Get()), "阵雪");
  OnFollowedPanelMouseMove(100, 100);
  EXPECT_EQ(form.tooltip.Get(), "");
}

TEST_F(PointerHandlerTest, PressOnAnEmptyRowEmptiesTheBoxAndQueriesNothing) {
  FormState& form = Form();
  form.searchBox.Set(Gbk("typed"));
  OnFollowedPanelLeftDown(50, 120);  // row 4, never filled
  EXPECT_EQ(form.searchBox.Get(), "");
}

TEST_F(PointerHandlerTest, PressOutsideEveryBandKeepsTheBox) {
  FormState& form = Form();
  CitySlots.Set(1, Gbk("岳阳"));
  form.searchBox.Set(Text());
  OnFollowedPanelLeftDown(50, 48);
  OnFollowedPanelLeftDown(0, 30);
  EXPECT_EQ(form.searchBox.Get(), "");
}

}  // namespace
}  // namespace qc
