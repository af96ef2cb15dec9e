#include "cmdline/fast_list_item_favorite.h"

#include <gtest/gtest.h>

#include "cmdline/items_test_support.h"

namespace {

using vok::test::Record;
using vok::test::Saved;

using FavoriteItemTest = vok::test::ItemTest<vokFastListItemFavorite, IvokFastListItemFavorite>;

TEST_F(FavoriteItemTest, RecordIsVersionOneByteForByte) {
  item_->SetStrKey("tmp");
  item_->put_ItemData(kFavoriteFolder);
  typed_->SetFavorite("/tmp");
  typed_->SetDescr("t");
  typed_->put_UseExplorerTree(1);
  EXPECT_EQ(Saved(item_.Get()),
            vok::test::Bytes({1, 0, 0, 0,   3,   0,   0,   0, 't', 'm', 'p', 1,   0, 0, 0, 4,
                              0, 0, 0, '/', 't', 'm', 'p', 1, 0,   0,   0,   't', 1, 0, 0, 0}));
}

TEST_F(FavoriteItemTest, VersionZeroRecordLoadsWithoutExplorerTree) {
  typed_->put_UseExplorerTree(1);
  std::vector<uint8_t> bytes = Record().Long(0).Str("f").ULong(1).Str("/srv").Str("d").Bytes();
  const size_t recordSize = bytes.size();
  bytes.insert(bytes.end(), {1, 0, 0, 0});  // the next record stays unread
  EXPECT_EQ(vok::test::LoadFrom(item_.Get(), bytes), std::make_pair(S_OK, recordSize));
  EXPECT_EQ(Saved(item_.Get()),
            Record().Long(1).Str("f").ULong(1).Str("/srv").Str("d").Long(0).Bytes());
}

TEST_F(FavoriteItemTest, OnlyAChangedTreeChoiceMarksTheItemDirty) {
  typed_->put_UseExplorerTree(0);
  typed_->SetFavorite("texts do not count");
  EXPECT_EQ(persist_->IsDirty(), S_FALSE);
  typed_->put_UseExplorerTree(1);
  EXPECT_EQ(persist_->IsDirty(), S_OK);
  Saved(item_.Get(), /*clearDirty=*/0);
  EXPECT_EQ(persist_->IsDirty(), S_OK);
  Saved(item_.Get(), /*clearDirty=*/1);
  EXPECT_EQ(persist_->IsDirty(), S_FALSE);
  typed_->put_UseExplorerTree(0);
  EXPECT_EQ(vok::test::LoadFrom(item_.Get(), Saved(item_.Get())).first, S_OK);
  EXPECT_EQ(persist_->IsDirty(), S_FALSE) << "a load clears the flag";
}

TEST_F(FavoriteItemTest, ColumnsAndImageByType) {
  typed_->SetFavorite("http://example.org/a/long/path");
  typed_->SetDescr("site");
  auto columns = QueryAs<IvokFastListItemColumns>(item_.Get());
  char buffer[512];
  EXPECT_EQ(columns->GetColumnText(1, buffer), S_OK);
  EXPECT_STREQ(buffer, "http://example.org/a/long/path");
  EXPECT_EQ(columns->GetColumnText(2, buffer), S_OK);
  EXPECT_STREQ(buffer, "site");
  const std::pair<ULONG, LONG> images[] = {{kFavoriteFile, 2},    {kFavoriteFolder, 1},
                                           {kFavoriteProgram, 0}, {kFavoriteLink, 3},
                                           {kFavoriteOther, 5},   {77, -1}};
  for (const auto& [type, image] : images) {
    SCOPED_TRACE(type);
    item_->put_ItemData(type);
    LONG got = 99;
    EXPECT_EQ(columns->GetImage(&got), S_OK);
    EXPECT_EQ(got, image);
  }
}

}  // namespace
