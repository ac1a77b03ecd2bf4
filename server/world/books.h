#pragma once
// Books. A read-only book (graphics 4079, 4080) shows one of 1024 fixed texts from the book
// files, chosen by its "bookNum"; a writable book (4081, 4082) keeps its title ("bookTitle"),
// author ("bookAuthor", "authorId"), page count ("bookPages"; the tile value when absent),
// pages ("bookPage01", ... lists of strings) and "bookStatus" (0 until first opened, then 1
// = writable; other values read-only) in its object variables, so its pages are saved with
// it. Pages hold any number of lines.
//
// books.idx holds 1024 entries of 12 bytes (offset, length, extra; little-endian, offset -1
// for none); a books.mul record is: u32 page count, 60-byte title, 30-byte author, then per
// page a u32 line count and per line a byte n (text length + 1) and n bytes of text with its
// 0. A record is read only within its index length.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"
#include "server/world/world_data_files.h"

class CItem;

inline constexpr const char* kBooksIndexPath = "../.rundir/books.idx";
inline constexpr const char* kBooksDataPath = "../.rundir/books.mul";
constexpr int kReadOnlyBookSlots = 1024;
constexpr size_t kBookIndexEntrySize = 12;
constexpr size_t kBookTitleWidth = 60;
constexpr size_t kBookAuthorWidth = 30;
// The title of a missing read-only book.
inline constexpr const char* kBuggyBookTitle = "A Buggy Book";

struct BookRecord {
    std::string title;   // at most 59 characters
    std::string author;  // at most 29 characters
    std::vector<std::vector<std::string>> pages;
};

class ReadOnlyBooks {
public:
    ReadOnlyBooks() : slots_(kReadOnlyBookSlots) {}
    void Clear();
    // Null outside 0..1023 and for an empty slot.
    const BookRecord* Find(int n) const;
    void Set(int n, BookRecord record);
    int Count() const;

private:
    std::vector<std::unique_ptr<BookRecord>> slots_;
};
ReadOnlyBooks& GetReadOnlyBooks();

// One books.mul record within `length` bytes; false when it runs past them.
bool ParseBookRecord(const u8* bytes, size_t length, BookRecord& out);
// Fills the table from the two files' bytes (emptied first). Entries past the index's end,
// records outside the data and records running past their length are skipped. Answers the
// number of books read.
int ParseBookFiles(const std::vector<u8>& index, const std::vector<u8>& data, ReadOnlyBooks& out);
// The world load's step: both files through the reader; without either the table stays
// empty (said once in the log).
void LoadReadOnlyBooks(const DataFileReader& read);
// The title of book n, or "A Buggy Book".
const char* GetReadOnlyBookTitle(int n);

// The writers the content builder and the tests use: a record, and both files with the given
// books in their slots (other entries {-1, 0, 0}).
void AppendBookRecord(const BookRecord& book, std::vector<u8>& out);
void WriteBookFiles(const std::vector<std::pair<int, BookRecord>>& books, std::vector<u8>& index,
                    std::vector<u8>& data);

bool IsReadOnlyBook(const CItem& item);
bool IsWritableBook(const CItem& item);
// A writable book whose pages players may write now: opened once ("bookStatus" 1). A book a
// script sealed (another status), or one never opened, takes no header or page from a client.
bool IsOpenForWriting(const CItem& book);

// The object variables of a writable book.
std::string GetBookTitle(const CItem& book);   // "a book" when absent
std::string GetBookAuthor(const CItem& book);  // "Bramwick the Llamaherder" when absent
u32 GetBookAuthorId(const CItem& book);
int GetBookPageCount(const CItem& book);  // "bookPages", else the graphic's tile value
// Empty outside 1..page count.
std::vector<std::string> GetBookPageLines(const CItem& book, int page);
void SetBookTitle(CItem& book, const std::string& title);
void SetBookAuthor(CItem& book, const std::string& name, u32 authorId);
// Replaces the page's lines; nothing outside 1..page count.
void SetBookPageText(CItem& book, int page, const std::vector<std::string>& lines);
// Removes title, author, page count, author id and pages 1..page count.
void ClearBook(CItem& book);

// What the header packet shows. Preparing it first makes a fresh writable book the opener's:
// status 1, its page count stored, title "a book", author the opener.
struct BookHeader {
    bool writable = false;
    int pageCount = 0;
    std::string title;
    std::string author;
};
BookHeader PrepareBookHeader(CItem& book, const CItem& opener);
// The page count and the lines of a page for either kind (a read-only book without a record
// has no pages).
int BookPagesShown(const CItem& book);
std::vector<std::string> BookPageShown(const CItem& book, int page);
// A header change from a client: title, author (with the player as author) and the look-at
// text (the title without leading blanks, or "a book").
void ChangeBookHeader(CItem& book, const std::string& title, const std::string& author,
                      u32 authorId);
