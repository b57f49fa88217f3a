// Organizing's boxes, the placement rule of arriving items and the rubber band.
#include <gtest/gtest.h>

#include <string>

#include "desk/core/box_geometry.h"
#include "desk/core/desk_place.h"

TEST(DeskPlace, OrganizeSendsFoldersAndFilesToBoxesAndTheRestToTheDesk) {
  EXPECT_EQ(std::u16string(DeskOrganizeTargetFor(KIND_FOLDER).title), u"文件夹");
  EXPECT_EQ(DeskOrganizeTargetFor(KIND_FOLDER).listType, kDeskBoxIcons);
  EXPECT_EQ(std::u16string(DeskOrganizeTargetFor(KIND_FILE).title), u"文件");
  EXPECT_EQ(DeskOrganizeTargetFor(KIND_FILE).listType, kDeskBoxRows);
  EXPECT_FALSE(DeskOrganizeTargetFor(KIND_SHORTCUT).toBox);
  EXPECT_FALSE(DeskOrganizeTargetFor(KIND_SPECIAL).toBox);
  const VxRc page{0, 40, 1280, 800};
  EXPECT_EQ(DeskOrganizeBoxRect(KIND_FOLDER, page), (VxRc{1015, 72, 1275, 472}));
  EXPECT_EQ(DeskOrganizeBoxRect(KIND_FILE, page), (VxRc{1015, 477, 1275, 795}));
  // A short page still gives the file box 100 pixels.
  EXPECT_EQ(DeskOrganizeBoxRect(KIND_FILE, VxRc{0, 0, 800, 480}), (VxRc{535, 437, 795, 537}));
}

TEST(DeskPlace, ArrivalsFollowThePriorityOfTheRule) {
  DeskArrival a;
  a.dropBoxPending = a.dropOnDeskPending = a.intoBox = a.autoOrganize = a.kindHasBoxName = true;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceDropBox);
  a.dropBoxPending = false;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceDropPoint);
  a.autoArrange = true;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceDropIndex);
  a.dropOnDeskPending = false;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceGivenBox);
  a.intoBox = false;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceDeskGrid);  // the named box does not exist
  a.namedBoxExists = true;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceNamedBox);
  a.kindHasBoxName = false;
  a.hasPoint = true;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceDeskGrid);  // auto-arrange wins over the point
  a.autoArrange = false;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceDeskPoint);
  a.hasPoint = false;
  EXPECT_EQ(DeskChoosePlacement(a), kPlaceDeskGrid);
}

TEST(DeskPlace, BandSpansBothWaysAndStaysInTheBoxList) {
  EXPECT_EQ(VxBandRect({300, 50}, {100, 200}), (VxRc{100, 50, 300, 200}));
  const VxRc box{100, 200, 360, 600};
  EXPECT_EQ(DeskBoxBand(box, {150, 300}, {500, 100}), (VxRc{150, 248, 350, 300}));
  EXPECT_TRUE(DeskBoxBand(box, {150, 300}, {150, 300}).IsEmpty());
}
