#include "server/world/books.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/cstr.h"
#include "core/log_sink.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "server/world/item.h"
#include "server/world/tile_data.h"

namespace {

constexpr const char* kDefaultBookTitle = "a book";
constexpr const char* kDefaultBookAuthor = "Bramwick the Llamaherder";

u32 LoadLe32(const u8* p) {
    return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
}
void StoreLe32(std::vector<u8>& out, u32 v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<u8>(v >> (8 * i)));
}
// A text field of `width` bytes: up to its first 0, never past the width.
std::string FixedText(const u8* p, size_t width) {
    size_t n = 0;
    while (n < width && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}
void StoreFixedText(std::vector<u8>& out, const std::string& text, size_t width) {
    const size_t n = std::min(text.size(), width - 1);
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
    out.insert(out.end(), width - n, 0);
}

void PageName(int page, char (&out)[24]) {
    std::snprintf(out, sizeof out, "bookPage%02d", page);
}

void SetString(CItem& book, const char* name, const std::string& text) {
    CStr s(text.c_str());
    ObjVars::Set(book.ScriptAttachments(), name, kTypeString, ScriptListValue::Ptr(&s));
}
void SetInt(CItem& book, const char* name, s32 value) {
    ObjVars::Set(book.ScriptAttachments(), name, kTypeInt, ScriptListValue::Int(value));
}
std::string StringOr(const CItem& book, const char* name, const char* fallback) {
    const CStr* s = ObjVars::GetString(book.ScriptAttachments(), name);
    return s ? std::string(s->CText()) : std::string(fallback);
}

// The book number of a read-only book: its "bookNum", 16 bits used.
int BookNumber(const CItem& book) {
    s32 n = 0;
    ObjVars::GetInt(book.ScriptAttachments(), "bookNum", n);
    return n & 0xFFFF;
}

}  // namespace

// ---------------------------------------------------------------- read-only table

void ReadOnlyBooks::Clear() {
    for (auto& slot : slots_) slot.reset();
}
const BookRecord* ReadOnlyBooks::Find(int n) const {
    if (n < 0 || n >= kReadOnlyBookSlots) return nullptr;
    return slots_[static_cast<size_t>(n)].get();
}
void ReadOnlyBooks::Set(int n, BookRecord record) {
    if (n < 0 || n >= kReadOnlyBookSlots) return;
    slots_[static_cast<size_t>(n)] = std::make_unique<BookRecord>(std::move(record));
}
int ReadOnlyBooks::Count() const {
    int count = 0;
    for (const auto& slot : slots_) count += slot ? 1 : 0;
    return count;
}

ReadOnlyBooks& GetReadOnlyBooks() {
    static ReadOnlyBooks books;
    return books;
}

bool ParseBookRecord(const u8* bytes, size_t length, BookRecord& out) {
    out = BookRecord{};
    size_t at = 0;
    auto need = [&](size_t n) { return length - at >= n; };
    if (!need(4 + kBookTitleWidth + kBookAuthorWidth)) return false;
    const u32 pageCount = LoadLe32(bytes);
    at = 4;
    out.title = FixedText(bytes + at, kBookTitleWidth);
    at += kBookTitleWidth;
    out.author = FixedText(bytes + at, kBookAuthorWidth);
    at += kBookAuthorWidth;
    // Each page takes at least its 4-byte line count: a count past that cannot be real.
    if (pageCount > (length - at) / 4) return false;
    out.pages.resize(pageCount);
    for (auto& page : out.pages) {
        if (!need(4)) return false;
        const u32 lineCount = LoadLe32(bytes + at);
        at += 4;
        if (lineCount > length - at) return false;  // a line takes at least its length byte
        page.reserve(lineCount);
        for (u32 i = 0; i < lineCount; ++i) {
            if (!need(1)) return false;
            const size_t n = bytes[at++];
            if (!need(n)) return false;
            page.push_back(FixedText(bytes + at, n));
            at += n;
        }
    }
    return true;
}

int ParseBookFiles(const std::vector<u8>& index, const std::vector<u8>& data, ReadOnlyBooks& out) {
    out.Clear();
    int read = 0;
    for (int n = 0; n < kReadOnlyBookSlots; ++n) {
        const size_t entry = static_cast<size_t>(n) * kBookIndexEntrySize;
        if (index.size() < entry + kBookIndexEntrySize) break;
        const s32 offset = static_cast<s32>(LoadLe32(&index[entry]));
        const s32 length = static_cast<s32>(LoadLe32(&index[entry + 4]));
        if (offset < 0 || length <= 0) continue;
        const size_t from = static_cast<size_t>(offset);
        const size_t size = static_cast<size_t>(length);
        if (from > data.size() || size > data.size() - from) continue;
        BookRecord record;
        if (!ParseBookRecord(data.data() + from, size, record)) continue;
        out.Set(n, std::move(record));
        ++read;
    }
    return read;
}

void LoadReadOnlyBooks(const DataFileReader& read) {
    ReadOnlyBooks& books = GetReadOnlyBooks();
    books.Clear();
    std::vector<u8> index, data;
    if (!read(kBooksIndexPath, index) || !read(kBooksDataPath, data)) {
        const std::string line = std::string("books: ") + kBooksIndexPath + " or " +
                                 kBooksDataPath + " is missing: every read-only book is blank";
        GetLogSink().Log(0, 0, 0, "", "load", "warning", line.c_str());
        return;
    }
    ParseBookFiles(index, data, books);
}

const char* GetReadOnlyBookTitle(int n) {
    const BookRecord* record = GetReadOnlyBooks().Find(n);
    return record ? record->title.c_str() : kBuggyBookTitle;
}

void AppendBookRecord(const BookRecord& book, std::vector<u8>& out) {
    StoreLe32(out, static_cast<u32>(book.pages.size()));
    StoreFixedText(out, book.title, kBookTitleWidth);
    StoreFixedText(out, book.author, kBookAuthorWidth);
    for (const auto& page : book.pages) {
        StoreLe32(out, static_cast<u32>(page.size()));
        for (const std::string& line : page) {
            const size_t n = std::min<size_t>(line.size(), 254);
            out.push_back(static_cast<u8>(n + 1));
            out.insert(out.end(), line.begin(), line.begin() + static_cast<std::ptrdiff_t>(n));
            out.push_back(0);
        }
    }
}

void WriteBookFiles(const std::vector<std::pair<int, BookRecord>>& books, std::vector<u8>& index,
                    std::vector<u8>& data) {
    index.clear();
    data.clear();
    for (int n = 0; n < kReadOnlyBookSlots; ++n) {
        StoreLe32(index, 0xFFFFFFFFu);
        StoreLe32(index, 0);
        StoreLe32(index, 0);
    }
    for (const auto& [n, book] : books) {
        if (n < 0 || n >= kReadOnlyBookSlots) continue;
        const size_t offset = data.size();
        AppendBookRecord(book, data);
        std::vector<u8> entry;
        StoreLe32(entry, static_cast<u32>(offset));
        StoreLe32(entry, static_cast<u32>(data.size() - offset));
        StoreLe32(entry, 0xFFFFFFFFu);
        std::copy(entry.begin(), entry.end(), index.begin() + static_cast<std::ptrdiff_t>(
                                                  static_cast<size_t>(n) * kBookIndexEntrySize));
    }
}

// ---------------------------------------------------------------- book items

bool IsReadOnlyBook(const CItem& item) {
    return item.GetType() == 4079 || item.GetType() == 4080;
}
bool IsWritableBook(const CItem& item) {
    return item.GetType() == 4081 || item.GetType() == 4082;
}

bool IsOpenForWriting(const CItem& book) {
    s32 status = 0;
    ObjVars::GetInt(book.ScriptAttachments(), "bookStatus", status);
    return IsWritableBook(book) && (status & 0xFF) == 1;
}

std::string GetBookTitle(const CItem& book) {
    return StringOr(book, "bookTitle", kDefaultBookTitle);
}
std::string GetBookAuthor(const CItem& book) {
    return StringOr(book, "bookAuthor", kDefaultBookAuthor);
}
u32 GetBookAuthorId(const CItem& book) {
    u32 serial = 0;
    ObjVars::GetObject(book.ScriptAttachments(), "authorId", serial);
    return serial;
}
int GetBookPageCount(const CItem& book) {
    s32 pages = 0;
    if (ObjVars::GetInt(book.ScriptAttachments(), "bookPages", pages)) return pages;
    return static_cast<int>(GetTileData().Static(book.GetType()).value);
}

std::vector<std::string> GetBookPageLines(const CItem& book, int page) {
    std::vector<std::string> lines;
    if (page < 1 || page > GetBookPageCount(book)) return lines;
    char name[24];
    PageName(page, name);
    const CScriptList* list = ObjVars::GetList(book.ScriptAttachments(), name);
    for (CScriptListNode* n = list ? list->Head() : nullptr; n; n = n->next) {
        lines.push_back(n->tag == kTypeString && n->value.s ? n->value.s->CText() : "");
    }
    return lines;
}

void SetBookTitle(CItem& book, const std::string& title) {
    SetString(book, "bookTitle", title);
}
void SetBookAuthor(CItem& book, const std::string& name, u32 authorId) {
    SetString(book, "bookAuthor", name);
    ObjVars::Set(book.ScriptAttachments(), "authorId", kTypeObject,
                 ScriptListValue::Int(static_cast<s32>(authorId)));
}

void SetBookPageText(CItem& book, int page, const std::vector<std::string>& lines) {
    if (page < 1 || page > GetBookPageCount(book)) return;
    char name[24];
    PageName(page, name);
    CScriptList list;
    for (const std::string& line : lines) {
        CStr s(line.c_str());
        list.Append(kTypeString, ScriptListValue::Ptr(&s));
    }
    ObjVars::Set(book.ScriptAttachments(), name, kTypeList, ScriptListValue::Ptr(&list));
}

void ClearBook(CItem& book) {
    const int pages = GetBookPageCount(book);
    CObjAttachments*& vars = book.ScriptAttachments();
    for (const char* name : {"bookTitle", "bookAuthor", "bookPages", "authorId"})
        ObjVars::Remove(vars, name);
    for (int page = 1; page <= pages; ++page) {
        char name[24];
        PageName(page, name);
        ObjVars::Remove(vars, name);
    }
}

BookHeader PrepareBookHeader(CItem& book, const CItem& opener) {
    BookHeader header;
    if (IsWritableBook(book)) {
        s32 status = 0;
        ObjVars::GetInt(book.ScriptAttachments(), "bookStatus", status);
        if ((status & 0xFF) == 0) {
            SetInt(book, "bookStatus", 1);
            SetInt(book, "bookPages", GetBookPageCount(book));
            SetBookTitle(book, kDefaultBookTitle);
            SetBookAuthor(book, opener.GetRealName() ? opener.GetRealName() : "",
                          opener.GetSerial());
            SetString(book, "lookAtText", kDefaultBookTitle);
            status = 1;
        }
        header.writable = (status & 0xFF) == 1;
        header.pageCount = GetBookPageCount(book);
        header.title = GetBookTitle(book);
        header.author = GetBookAuthor(book);
        return header;
    }
    if (const BookRecord* record = GetReadOnlyBooks().Find(BookNumber(book))) {
        header.pageCount = static_cast<int>(record->pages.size());
        header.title = record->title;
        header.author = record->author;
    } else {
        header.title = kBuggyBookTitle;
    }
    return header;
}

int BookPagesShown(const CItem& book) {
    if (IsWritableBook(book)) return GetBookPageCount(book);
    const BookRecord* record = GetReadOnlyBooks().Find(BookNumber(book));
    return record ? static_cast<int>(record->pages.size()) : 0;
}

std::vector<std::string> BookPageShown(const CItem& book, int page) {
    if (IsWritableBook(book)) return GetBookPageLines(book, page);
    const BookRecord* record = GetReadOnlyBooks().Find(BookNumber(book));
    if (!record || page < 1 || page > static_cast<int>(record->pages.size())) return {};
    return record->pages[static_cast<size_t>(page - 1)];
}

void ChangeBookHeader(CItem& book, const std::string& title, const std::string& author,
                      u32 authorId) {
    SetBookTitle(book, title);
    SetBookAuthor(book, author, authorId);
    const size_t first = title.find_first_not_of(" \t\r\n");
    SetString(book, "lookAtText", first == std::string::npos ? kDefaultBookTitle
                                                            : title.substr(first));
}
