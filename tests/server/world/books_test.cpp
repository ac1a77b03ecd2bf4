// The book files read back what their writer wrote, a record cut short is skipped, and a
// writable book keeps a page of any number of lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/runtime/obj_attachments.h"
#include "server/world/books.h"
#include "tests/server/world/world_test_support.h"

namespace {

TEST(BookFiles, WhatTheWriterWritesReadsBackAndACutRecordIsSkipped) {
    BookRecord chronicle{"The Chronicle", "A Scribe", {{"first line", ""}, {}, {"last"}}};
    BookRecord other{"Other", "Someone", {{"x"}}};
    std::vector<u8> index, data;
    WriteBookFiles({{0, chronicle}, {9, other}}, index, data);
    ReadOnlyBooks books;
    ASSERT_EQ(ParseBookFiles(index, data, books), 2);
    ASSERT_NE(books.Find(0), nullptr);
    EXPECT_EQ(books.Find(0)->title, "The Chronicle");
    EXPECT_EQ(books.Find(0)->author, "A Scribe");
    EXPECT_EQ(books.Find(0)->pages, chronicle.pages);
    EXPECT_EQ(books.Find(5), nullptr);
    EXPECT_EQ(books.Find(1024), nullptr);
    // Book 9's data cut by one byte: its record runs past the data and is skipped.
    data.pop_back();
    EXPECT_EQ(ParseBookFiles(index, data, books), 1);
    EXPECT_EQ(books.Find(9), nullptr);
    // An index shorter than one entry reads nothing.
    EXPECT_EQ(ParseBookFiles(std::vector<u8>(11, 0), data, books), 0);
}

class WritableBookTest : public WorldTest {};

TEST_F(WritableBookTest, APageKeepsAllOfItsLinesAndPagesOutsideTheBookAreIgnored) {
    CItem* book = NewItem(4081);
    SetBookTitle(*book, "t");
    ObjVars::Set(book->ScriptAttachments(), "bookPages", 0, ScriptListValue::Int(10));
    std::vector<std::string> lines;
    for (int i = 0; i < 127; ++i) lines.push_back("line " + std::to_string(i));
    SetBookPageText(*book, 10, lines);
    SetBookPageText(*book, 11, {"past the end"});
    EXPECT_EQ(GetBookPageLines(*book, 10), lines);
    EXPECT_TRUE(GetBookPageLines(*book, 11).empty());
    ClearBook(*book);
    EXPECT_TRUE(GetBookPageLines(*book, 10).empty());
}

}  // namespace
