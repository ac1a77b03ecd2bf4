#include "core/archive.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>

#include "core/byte_order.h"

namespace {

constexpr u64 kNoLimit = UINT64_MAX;
// Member positions and lengths are u32 in the directory.
constexpr s64 kMaxMemberBytes = 0xFFFFFFFFll;
// A sequential writer keeps this many bytes before the write offset in memory before
// writing the leading pages out.
constexpr s64 kWriteAhead = 16384;

inline s64 PageOf(s64 at) {
    return at & ~s64(kArchivePageSize - 1);
}
inline s64 RoundUp4(s64 n) {
    return (n + 3) & ~s64(3);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

std::string LowerCopy(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

}  // namespace

std::string ArchiveMemberName(std::string_view path) {
    return LowerCopy(path) + ".q";
}

void EncodeArchiveEntry(const ArchiveEntry& entry, u8* out) {
    std::memset(out, 0, kArchiveEntrySize);
    size_t n = std::min<size_t>(entry.name.size(), kArchiveNameSize - 1);
    std::memcpy(out, entry.name.data(), n);
    StoreLe32(out + 260, entry.offset);
    StoreLe32(out + 264, entry.capacity);
    StoreLe32(out + 268, entry.readOnly);
    StoreLe32(out + 272, entry.size);
    StoreLe32(out + 276, entry.position);
}

bool DecodeArchiveEntry(const u8* in, ArchiveEntry& entry) {
    const void* nul = std::memchr(in, 0, kArchiveNameSize);
    if (nul == nullptr) return false;
    entry.name.assign(reinterpret_cast<const char*>(in), static_cast<const u8*>(nul) - in);
    entry.offset = LoadLe32(in + 260);
    entry.capacity = LoadLe32(in + 264);
    entry.readOnly = LoadLe32(in + 268);
    entry.size = LoadLe32(in + 272);
    entry.position = LoadLe32(in + 276);
    return true;
}

// --- DataArchive ------------------------------------------------------------------------

DataArchive::DataArchive(const ArchiveKey& key)
    : cipher_(key), counter_(cipher_, kArchiveInitialCounter) {}

DataArchive::~DataArchive() {
    Close();
}

bool DataArchive::Open(const char* path) {
    Close();
    error_.clear();
    // Read-only until a member is opened for writing: a demo that only reads its data must
    // run from an archive it may not write (a read-only file or medium).
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        error_ = std::string("cannot open the data archive ") + path + ": " + std::strerror(errno);
        return false;
    }
    const bool ok = OpenFile(f, path);
    if (ok) {
        path_ = path;
        fileWritable_ = false;
    }
    return ok;
}

bool DataArchive::OpenFile(std::FILE* file, const std::string& label) {
    Close();
    error_.clear();
    file_ = file;
    label_ = label;
    // A file handed over was opened as its owner chose; writes to it are tried as they come.
    path_.clear();
    fileWritable_ = true;
    if (!LoadDirectory()) {
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

void DataArchive::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    path_.clear();
    fileWritable_ = false;
    index_.clear();
    entries_.clear();
    directorySize_ = 0;
}

bool DataArchive::Fail(const std::string& why) {
    error_ = "the data archive " + label_ + " is corrupt: " + why;
    index_.clear();
    entries_.clear();
    directorySize_ = 0;
    return false;
}

bool DataArchive::LoadDirectory() {
    index_.clear();
    entries_.clear();
    directorySize_ = 0;
    if (std::fseek(file_, 0, SEEK_END) != 0) return Fail("cannot seek");
    long fileSize = std::ftell(file_);
    if (fileSize < 0 || std::fseek(file_, 0, SEEK_SET) != 0) return Fail("cannot seek");

    std::vector<ArchiveEntry> entries;
    u8 raw[kArchiveEntrySize];
    for (int i = 0;; ++i) {
        if (std::fread(raw, 1, sizeof raw, file_) != sizeof raw) {
            return Fail("the directory is cut short after " + std::to_string(i) +
                        " entries, without its end entry");
        }
        counter_.Apply(raw, sizeof raw);
        ArchiveEntry e;
        if (!DecodeArchiveEntry(raw, e)) {
            return Fail("directory entry " + std::to_string(i) + " has an unterminated name");
        }
        if (e.name == kArchiveEndName) break;
        if (i >= kArchiveMaxEntries) {
            return Fail("the directory has no end entry within " +
                        std::to_string(kArchiveMaxEntries) + " entries");
        }
        e.index = i;
        entries.push_back(std::move(e));
    }
    u64 dirSize = u64(entries.size() + 1) * kArchiveEntrySize;
    for (const ArchiveEntry& e : entries) {
        if (dirSize + e.offset + e.size > u64(fileSize)) {
            return Fail("member " + e.name + " runs past the end of the file");
        }
    }
    // Members may not share bytes: writing one would change the other. The room of each
    // member runs up to the next member's stored bytes; the last one may grow.
    std::vector<ArchiveEntry*> byOffset;
    for (ArchiveEntry& e : entries)
        byOffset.push_back(&e);
    std::sort(byOffset.begin(), byOffset.end(),
              [](const ArchiveEntry* a, const ArchiveEntry* b) { return a->offset < b->offset; });
    for (size_t i = 0; i < byOffset.size(); ++i) {
        ArchiveEntry& e = *byOffset[i];
        if (i + 1 == byOffset.size()) {
            e.room = kNoLimit;
            continue;
        }
        const ArchiveEntry& next = *byOffset[i + 1];
        if (u64(e.offset) + e.size > next.offset || e.offset == next.offset) {
            return Fail("members " + e.name + " and " + next.name + " overlap");
        }
        e.room = u64(next.offset) - e.offset;
    }
    entries_ = std::move(entries);
    for (const ArchiveEntry& e : entries_)
        index_.emplace(e.name, e.index);  // first wins
    directorySize_ = static_cast<u32>(dirSize);
    return true;
}

ArchiveEntry* DataArchive::FindMember(const char* name) {
    if (name == nullptr) return nullptr;
    auto it = index_.find(LowerCopy(name));
    return it == index_.end() ? nullptr : &entries_[it->second];
}

ArchiveEntry* DataArchive::OpenMember(const char* name, const char* mode) {
    ArchiveEntry* e = FindMember(name);
    if (e == nullptr || mode == nullptr) return nullptr;
    bool truncate = std::strchr(mode, 'w') != nullptr;
    bool update = std::strchr(mode, '+') != nullptr;
    // Writing to a read-only member would change its bytes while its directory entry is
    // never written back: refuse every write open, not only 'w'.
    if ((truncate || update) && e->readOnly != 0) return nullptr;
    if ((truncate || update) && !MakeWritable()) return nullptr;
    if (truncate) {
        e->size = 0;
        e->position = 0;
    }
    return e;
}

bool DataArchive::MakeWritable() {
    if (fileWritable_) return true;
    if (file_ == nullptr || path_.empty()) return false;
    std::FILE* f = std::fopen(path_.c_str(), "rb+");
    if (f == nullptr) {
        error_ = "cannot write to the data archive " + path_ + ": " + std::strerror(errno);
        return false;
    }
    // Every member access seeks first, so the file can be swapped under open streams.
    std::fclose(file_);
    file_ = f;
    fileWritable_ = true;
    return true;
}

bool DataArchive::CloseMember(ArchiveEntry* entry) {
    if (entry == nullptr || file_ == nullptr) return false;
    if (entry->readOnly != 0) return true;
    u8 raw[kArchiveEntrySize];
    EncodeArchiveEntry(*entry, raw);
    counter_.Apply(raw, sizeof raw);
    long where = std::ftell(file_);
    bool ok = std::fseek(file_, long(entry->index) * kArchiveEntrySize, SEEK_SET) == 0 &&
              std::fwrite(raw, 1, sizeof raw, file_) == sizeof raw;
    ok = std::fflush(file_) == 0 && ok;
    if (where >= 0) std::fseek(file_, where, SEEK_SET);
    return ok;
}

size_t DataArchive::ReadMember(void* buffer, size_t size, size_t count, ArchiveEntry* entry) {
    if (entry == nullptr || file_ == nullptr || size == 0) return 0;
    u64 avail = entry->position < entry->size ? entry->size - entry->position : 0;
    count = std::min<u64>(count, avail / size);
    if (count == 0) return 0;
    if (std::fseek(file_, long(u64(directorySize_) + entry->offset + entry->position), SEEK_SET) !=
        0) {
        return 0;
    }
    size_t got = std::fread(buffer, size, count, file_);
    entry->position += static_cast<u32>(got * size);
    return got;
}

u64 DataArchive::MemberLimit(const ArchiveEntry& entry) const {
    u64 limit = entry.capacity != 0 ? entry.capacity : kNoLimit;
    limit = std::min(limit, entry.room);
    // A member may always be rewritten within the bytes it has.
    limit = std::max<u64>(limit, entry.size);
    return std::min<u64>(limit, u64(kMaxMemberBytes));
}

size_t DataArchive::WriteMember(const void* buffer, size_t size, size_t count,
                                ArchiveEntry* entry) {
    if (entry == nullptr || file_ == nullptr || size == 0) return 0;
    u64 limit = MemberLimit(*entry);
    u64 room = entry->position < limit ? limit - entry->position : 0;
    count = std::min<u64>(count, room / size);
    if (count == 0) return 0;
    if (std::fseek(file_, long(u64(directorySize_) + entry->offset + entry->position), SEEK_SET) !=
        0) {
        return 0;
    }
    size_t put = std::fwrite(buffer, size, count, file_);
    entry->position += static_cast<u32>(put * size);
    if (entry->position > entry->size) entry->size = entry->position;
    return put;
}

bool DataArchive::SeekMember(ArchiveEntry* entry, s64 offset, int whence) {
    if (entry == nullptr || file_ == nullptr) return false;
    s64 origin = whence == 0 ? 0 : whence == 1 ? s64(entry->position) : s64(entry->size);
    s64 target = origin + offset;
    if (target < 0 || target > kMaxMemberBytes) return false;
    if (entry->readOnly != 0 && target > s64(entry->size)) target = entry->size;
    entry->position = static_cast<u32>(target);
    return std::fseek(file_, long(u64(directorySize_) + entry->offset + entry->position),
                      SEEK_SET) == 0;
}

bool DataArchive::OwnsEntry(const void* p) const {
    if (entries_.empty() || p == nullptr) return false;
    std::less<const void*> less;
    const void* first = entries_.data();
    const void* end = entries_.data() + entries_.size();
    return !less(p, first) && less(p, end);
}

// --- ArchiveStream ----------------------------------------------------------------------

ArchiveStream::ArchiveStream(DataArchive& archive, ArchiveEntry& entry, bool writable)
    : archive_(archive), entry_(entry), writable_(writable) {
    ok_ = ReadTrailer();
    // Every open starts at the member's beginning.
    base_ = 0;
    offset_ = 0;
    entry_.position = 0;
}

ArchiveStream::~ArchiveStream() = default;

bool ArchiveStream::ReadTrailer() {
    s64 stored = entry_.size;
    length_ = 0;
    trailerLength_ = 0;
    if (stored == 0) return true;
    if (stored < 4) return false;
    // The trailer is the last four stored bytes, always within one page (it starts on a
    // multiple of 4). A member whose stored size is a multiple of 4096 has it at the end
    // of its last full page.
    s64 page = PageOf(stored - 4);
    length_ = stored;
    LoadPage(page, size_t(stored - page));
    bool ok = valid_ == size_t(stored - page);
    u32 trailer = ok ? LoadLe32(&buffer_[valid_ - 4]) : 0;
    buffer_.clear();
    buffer_.shrink_to_fit();
    valid_ = 0;
    length_ = 0;
    if (!ok || ArchiveStoredSize(trailer) != u64(stored)) return false;
    length_ = trailer;
    trailerLength_ = trailer;
    return true;
}

void ArchiveStream::LoadPage(s64 at, size_t n) {
    Flush();
    base_ = at;
    buffer_.assign(n, 0);
    valid_ = 0;
    s64 want = std::clamp<s64>(length_ - at, 0, s64(n));
    if (want > 0 && archive_.SeekMember(&entry_, at, 0)) {
        valid_ = archive_.ReadMember(buffer_.data(), 1, size_t(want), &entry_);
        archive_.Cipher().Apply(buffer_.data(), valid_);
    }
}

bool ArchiveStream::WriteOut(size_t bytes) {
    if (bytes == 0) return true;
    std::vector<u8> copy(buffer_.begin(), buffer_.begin() + bytes);
    archive_.Cipher().Apply(copy.data(), copy.size());
    bool ok = archive_.SeekMember(&entry_, base_, 0) &&
              archive_.WriteMember(copy.data(), 1, copy.size(), &entry_) == copy.size();
    if (!ok) failed_ = true;
    return ok;
}

bool ArchiveStream::Flush() {
    bool ok = true;
    if (dirty_) ok = WriteOut(valid_);
    dirty_ = false;
    buffer_.clear();
    buffer_.shrink_to_fit();
    valid_ = 0;
    return ok;
}

size_t ArchiveStream::Read(void* buffer, size_t size, size_t count) {
    if (size == 0 || count == 0 || buffer == nullptr) return 0;
    if (count > SIZE_MAX / size) return 0;
    size_t total = size * count;
    u8* dst = static_cast<u8*>(buffer);
    size_t done = 0;
    while (done < total) {
        if (offset_ >= 0 && offset_ < s64(valid_)) {
            size_t k = std::min(valid_ - size_t(offset_), total - done);
            std::memcpy(dst + done, &buffer_[size_t(offset_)], k);
            offset_ += s64(k);
            done += k;
            continue;
        }
        s64 pos = Tell();
        if (pos >= length_) break;
        s64 page = PageOf(pos);
        LoadPage(page, (((total - done) >> 12) + 1) * kArchivePageSize);
        offset_ = pos - page;
        if (offset_ >= s64(valid_)) break;  // the stored bytes end early
    }
    if (done < total) {
        // The read tried to pass the end: the position goes one past the last byte, which
        // sets the end test.
        s64 end = std::max(Tell(), length_ + 1);
        offset_ = end - base_;
    }
    return done / size;
}

size_t ArchiveStream::WriteBytes(const u8* src, size_t n) {
    size_t done = 0;
    while (done < n) {
        s64 size = s64(buffer_.size());
        bool inside = size > 0 && offset_ >= 0 && offset_ < size;
        if (!inside) {
            bool atLogicalEnd = size > 0 && offset_ == size && valid_ == buffer_.size() &&
                                base_ + s64(valid_) >= length_;
            if (atLogicalEnd) {
                // Appending: keep the page before the offset, write the leading ones out.
                if (offset_ > kWriteAhead) {
                    size_t drop = size_t(PageOf(offset_ - 1));
                    if (dirty_ && !WriteOut(drop)) return done;
                    buffer_.erase(buffer_.begin(), buffer_.begin() + drop);
                    base_ += s64(drop);
                    offset_ -= s64(drop);
                    valid_ -= drop;
                }
                size_t excess = n - done;
                size_t grown = size_t(PageOf(s64(valid_ + excess))) + kArchivePageSize;
                buffer_.resize(grown, 0);
            } else {
                s64 pos = Tell();
                s64 page = PageOf(pos);
                LoadPage(page, kArchivePageSize);
                offset_ = pos - page;
            }
            continue;
        }
        size_t k = std::min(n - done, buffer_.size() - size_t(offset_));
        if (size_t(offset_) > valid_) {
            std::memset(&buffer_[valid_], 0, size_t(offset_) - valid_);
        }
        std::memcpy(&buffer_[size_t(offset_)], src + done, k);
        offset_ += s64(k);
        valid_ = std::max(valid_, size_t(offset_));
        length_ = std::max(length_, Tell());
        dirty_ = true;
        done += k;
    }
    return done;
}

size_t ArchiveStream::WriteZeros(size_t n) {
    static const u8 kZeros[kArchivePageSize] = {};
    size_t done = 0;
    while (done < n) {
        size_t k = std::min<size_t>(n - done, sizeof kZeros);
        size_t put = WriteBytes(kZeros, k);
        done += put;
        if (put < k) break;
    }
    return done;
}

size_t ArchiveStream::Write(const void* buffer, size_t size, size_t count) {
    if (!writable_ || size == 0 || count == 0 || buffer == nullptr) return 0;
    if (count > SIZE_MAX / size) return 0;
    // The logical length may grow only as far as leaves room for the padding and the
    // trailer within the member's limit; what lies past it is cut.
    u64 limit = archive_.MemberLimit(entry_);
    s64 maxLength = limit >= 4 ? s64((limit - 4) & ~u64(3)) : 0;
    maxLength = std::max(maxLength, trailerLength_);
    s64 pos = Tell();
    s64 room = std::max<s64>(maxLength - pos, 0);
    size_t total = size * count;
    if (s64(total) > room) total = size_t(room) / size * size;
    if (total == 0) return 0;
    if (pos > length_) {
        // A write past the end: the gap reads as zeros.
        offset_ = length_ - base_;
        size_t gap = size_t(pos - length_);
        if (WriteZeros(gap) < gap) return 0;
    }
    return WriteBytes(static_cast<const u8*>(buffer), total) / size;
}

bool ArchiveStream::Seek(s64 offset, int whence) {
    s64 origin;
    switch (whence) {
        case 0:
            origin = 0;
            break;
        case 1:
            origin = Tell();
            break;
        case 2:
            origin = length_;
            break;
        default:
            return false;
    }
    s64 target = origin + offset;
    if (target < 0 || target > kMaxMemberBytes) return false;
    if (!buffer_.empty() && target >= base_ && target <= base_ + s64(buffer_.size())) {
        offset_ = target - base_;
        return true;
    }
    bool ok = Flush();
    s64 page = PageOf(target);
    base_ = page;
    offset_ = 0;
    if (target != page && page < length_) LoadPage(page, kArchivePageSize);
    offset_ = target - page;
    return ok;
}

int ArchiveStream::Getc() {
    if (offset_ >= 0 && offset_ < s64(valid_)) return buffer_[size_t(offset_++)];
    u8 c = 0;
    return Read(&c, 1, 1) == 1 ? c : -1;
}

char* ArchiveStream::Gets(char* buffer, int n) {
    if (buffer == nullptr || n <= 0) return nullptr;
    int i = 0;
    while (i < n - 1) {
        int c = Getc();
        if (c < 0) break;
        buffer[i++] = char(c);
        if (c == '\n' || c == 0xFF) break;
    }
    buffer[i] = '\0';
    return Tell() > length_ ? nullptr : buffer;
}

bool ArchiveStream::Close() {
    bool ok = true;
    if (writable_ && length_ != trailerLength_) {
        u8 le[4];
        StoreLe32(le, u32(length_));
        // Padding up to a multiple of 4, then the trailer.
        s64 logical = length_;
        size_t pad = size_t(RoundUp4(logical) - logical);
        ok = Seek(logical, 0) && WriteZeros(pad) == pad && WriteBytes(le, 4) == 4;
        length_ = logical;
    }
    ok = Flush() && ok && !failed_;
    if (writable_ && ok && (length_ != 0 || entry_.size != 0)) {
        entry_.size = u32(ArchiveStoredSize(u64(length_)));
    }
    // A member opened only for reading leaves the archive file as it was.
    if (writable_ && !archive_.CloseMember(&entry_)) ok = false;
    return ok;
}

// --- The process's archive and the file API ---------------------------------------------

namespace {

std::unique_ptr<DataArchive> g_archive;
std::string g_archiveError;
// Open streams by handle (the member's entry).
std::map<const void*, std::unique_ptr<ArchiveStream>, std::less<>> g_streams;

ArchiveStream* StreamOf(ArchiveHandle h) {
    auto it = g_streams.find(h);
    return it == g_streams.end() ? nullptr : it->second.get();
}

// A handle that is neither an open member nor anything else of the archive's: taken as a
// runtime file. A closed member's handle is refused rather than given to stdio.
std::FILE* PlainFileOf(ArchiveHandle h) {
    if (h == nullptr) return nullptr;
    if (g_archive != nullptr && g_archive->OwnsEntry(h)) return nullptr;
    return static_cast<std::FILE*>(h);
}

void CloseAllStreams() {
    while (!g_streams.empty()) {
        auto it = g_streams.begin();
        it->second->Close();
        g_streams.erase(it);
    }
}

}  // namespace

bool InitDataArchive(const char* path, const ArchiveKey& key) {
    ShutdownDataArchive();
    g_archive = std::make_unique<DataArchive>(key);
    const bool ok = g_archive->Open(path);
    g_archiveError = g_archive->Error();
    return ok;
}

bool InitDataArchiveFromFile(std::FILE* file, const std::string& label, const ArchiveKey& key) {
    ShutdownDataArchive();
    g_archive = std::make_unique<DataArchive>(key);
    const bool ok = g_archive->OpenFile(file, label);
    g_archiveError = g_archive->Error();
    return ok;
}

void ShutdownDataArchive() {
    CloseAllStreams();
    g_archive.reset();
    g_archiveError.clear();
}

DataArchive* GetDataArchive() {
    return g_archive.get();
}

std::string DataArchiveError() {
    return g_archiveError;
}

namespace {

// Opens a stream over the member of that name (already the stored form).
ArchiveHandle OpenMemberStream(const std::string& name, const char* mode) {
    std::string m(mode, std::min<size_t>(std::strlen(mode), 14));
    if (m.find('b') == std::string::npos) m += 'b';
    bool writable = m.find('+') != std::string::npos || m.find('w') != std::string::npos;
    // One stream per member: a second open would share and clobber its entry.
    ArchiveEntry* existing = g_archive->FindMember(name.c_str());
    if (existing == nullptr || StreamOf(existing) != nullptr) return nullptr;
    ArchiveEntry* entry = g_archive->OpenMember(name.c_str(), m.c_str());
    if (entry == nullptr) return nullptr;
    auto stream = std::make_unique<ArchiveStream>(*g_archive, *entry, writable);
    if (!stream->IsValid()) return nullptr;
    g_streams.emplace(entry, std::move(stream));
    return entry;
}

}  // namespace

ArchiveHandle ArchiveOpen(const char* path, const char* mode) {
    if (g_archive == nullptr || path == nullptr || mode == nullptr) return nullptr;
    if (std::strlen(path) > 1021) return nullptr;
    return OpenMemberStream(ArchiveMemberName(path), mode);
}

ArchiveHandle ArchiveOpenExact(const char* name, const char* mode) {
    if (g_archive == nullptr || name == nullptr || mode == nullptr) return nullptr;
    if (std::strlen(name) >= kArchiveNameSize) return nullptr;
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    // Only a member name has a stream; without one the handle could not be read.
    if (lower.size() < 2 || lower.compare(lower.size() - 2, 2, ".q") != 0) return nullptr;
    return OpenMemberStream(lower, mode);
}

size_t ArchiveRead(void* buffer, size_t size, size_t count, ArchiveHandle handle) {
    if (ArchiveStream* s = StreamOf(handle)) return s->Read(buffer, size, count);
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::fread(buffer, size, count, f) : 0;
}

size_t ArchiveWrite(const void* buffer, size_t size, size_t count, ArchiveHandle handle) {
    if (ArchiveStream* s = StreamOf(handle)) return s->Write(buffer, size, count);
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::fwrite(buffer, size, count, f) : 0;
}

int ArchiveSeek(ArchiveHandle handle, long offset, int whence) {
    if (ArchiveStream* s = StreamOf(handle)) return s->Seek(offset, whence) ? 0 : -1;
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::fseek(f, offset, whence) : -1;
}

int ArchiveClose(ArchiveHandle handle) {
    auto it = g_streams.find(handle);
    if (it != g_streams.end()) {
        const bool closed = it->second->Close();
        g_streams.erase(it);
        return closed ? 0 : EOF;
    }
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::fclose(f) : EOF;
}

char* ArchiveGets(char* buffer, int size, ArchiveHandle handle) {
    if (ArchiveStream* s = StreamOf(handle)) return s->Gets(buffer, size);
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::fgets(buffer, size, f) : nullptr;
}

int ArchiveEof(ArchiveHandle handle) {
    if (ArchiveStream* s = StreamOf(handle)) return s->Eof() ? 1 : 0;
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::feof(f) : 1;
}

long ArchiveTell(ArchiveHandle handle) {
    if (ArchiveStream* s = StreamOf(handle)) return long(s->Tell());
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::ftell(f) : -1;
}

int ArchiveUngetc(int c, ArchiveHandle handle) {
    if (StreamOf(handle) != nullptr) return 0;
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::ungetc(c, f) : EOF;
}

int ArchiveGetc(ArchiveHandle handle) {
    if (ArchiveStream* s = StreamOf(handle)) return s->Getc();
    std::FILE* f = PlainFileOf(handle);
    return f != nullptr ? std::fgetc(f) : EOF;
}
