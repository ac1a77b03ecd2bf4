#pragma once
// The data archive: every server data file is a member of one enciphered archive file,
// `zqdemo.dat` in the working directory.
//
// Layout (integers little-endian):
// - the directory at offset 0: 280-byte entries, each enciphered on its own as one run
//   of the counter mode; the entry named "@@@.@@@" ends it, after at most 3000 members;
// - the data area right after the end entry. A member's stored bytes are its logical
//   bytes, zero to three padding bytes up to a multiple of 4, then its logical length as
//   a u32 (the trailer, the member's last four bytes). Every 4096-byte page of a member,
//   counted from the member's start, is enciphered as one run.
//
// The server reads and writes members through the file API at the bottom (`ArchiveOpen`,
// `ArchiveGets`, ...), whose functions also accept a plain runtime FILE*.
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/archive_key.h"
#include "core/gost_cipher.h"
#include "platform/types.h"

inline constexpr char kArchiveFileName[] = "zqdemo.dat";
inline constexpr char kArchiveEndName[] = "@@@.@@@";
inline constexpr int kArchiveEntrySize = 280;
inline constexpr int kArchiveNameSize = 260;
inline constexpr int kArchiveMaxEntries = 3000;
inline constexpr u32 kArchivePageSize = 4096;
// The counter every run of the archive's counter mode starts from.
inline constexpr GostBlock kArchiveInitialCounter = {0x7e, 0x19, 0xc4, 0xa2,
                                                     0x5d, 0x08, 0xb3, 0xf6};

// The stored size of a member of `logical` bytes: padded to a multiple of 4, then the
// trailer.
inline constexpr u64 ArchiveStoredSize(u64 logical) {
    return ((logical + 3) & ~u64(3)) + 4;
}

// One directory entry as held in memory.
struct ArchiveEntry {
    std::string name;  // lower-case path of the data file with ".q" appended
    u32 offset = 0;    // of the stored bytes within the data area
    u32 capacity = 0;  // most bytes the member may grow to; 0 = no limit
    u32 readOnly = 0;  // non-zero refuses opening for writing
    u32 size = 0;      // stored size in bytes
    u32 position = 0;  // working read/write position, stored back with the entry
    int index = 0;     // slot in the directory
    u64 room = 0;      // bytes up to the next member's stored bytes (UINT64_MAX: none)
};

// The name a data file's path is stored under: A-Z lower-cased, ".q" appended.
std::string ArchiveMemberName(std::string_view path);

// The 280 plain bytes of a directory entry, and back. Decoding fails when the name has no
// NUL terminator within its 260 bytes.
void EncodeArchiveEntry(const ArchiveEntry& entry, u8* out);
bool DecodeArchiveEntry(const u8* in, ArchiveEntry& entry);

class DataArchive {
public:
    explicit DataArchive(const ArchiveKey& key = kArchiveKey);
    ~DataArchive();
    DataArchive(const DataArchive&) = delete;
    DataArchive& operator=(const DataArchive&) = delete;

    // Opens the archive file for reading and loads its directory. False when the file cannot
    // be opened or its directory is malformed; Error() then says why, and the directory is
    // empty so that every open of a member fails. The file is opened for writing only when
    // a member is first opened for writing; a file that may not be written then refuses
    // that open (and Error() says why) while reading goes on.
    bool Open(const char* path);
    // The same over an already open file (taken over, closed by the archive), used in the
    // mode its owner opened it with.
    bool OpenFile(std::FILE* file, const std::string& label);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Error() const { return error_; }
    // The archive file's path (or the label it was opened under), for messages.
    const std::string& Label() const { return label_; }

    // Looks a member up by name (lower-cased A-Z first); null when absent. With 'w' in the
    // mode the member is truncated (stored size and position 0). Write opens ('w' or '+')
    // of a read-only member, or of any member while the archive file cannot be written,
    // answer null.
    ArchiveEntry* OpenMember(const char* name, const char* mode);
    // Looks a member up without opening it.
    ArchiveEntry* FindMember(const char* name);
    // Writes a writable entry back to its directory slot; false when that write failed.
    bool CloseMember(ArchiveEntry* entry);
    size_t ReadMember(void* buffer, size_t size, size_t count, ArchiveEntry* entry);
    size_t WriteMember(const void* buffer, size_t size, size_t count, ArchiveEntry* entry);
    // Moves the member's position (whence 0 start, 1 position, 2 end); false when the target
    // lies outside what a member may hold or the archive file cannot be positioned.
    bool SeekMember(ArchiveEntry* entry, s64 offset, int whence);
    // The most stored bytes a member may have: its capacity when set, and never more than
    // the room before the next member's stored bytes.
    u64 MemberLimit(const ArchiveEntry& entry) const;

    int EntryCount() const { return static_cast<int>(entries_.size()); }
    const ArchiveEntry& Entry(int i) const { return entries_[i]; }
    bool OwnsEntry(const void* p) const;
    u32 DirectorySize() const { return directorySize_; }
    const GostCounterMode& Cipher() const { return counter_; }

private:
    bool LoadDirectory();
    bool Fail(const std::string& why);
    // Reopens the archive file for reading and writing (once); false when it may not be.
    bool MakeWritable();

    GostCipher cipher_;
    GostCounterMode counter_;
    std::FILE* file_ = nullptr;
    std::string path_;  // the file's path when opened by Open (empty for OpenFile)
    bool fileWritable_ = false;
    std::string label_;
    std::string error_;
    std::map<std::string, int> index_;
    std::vector<ArchiveEntry> entries_;
    u32 directorySize_ = 0;
};

// One open member as a buffered, seekable byte stream; pages are deciphered when read and
// enciphered when written. A stream starts at the member's beginning. The logical length
// grows only as far as the member's capacity (and the room before the next member) leaves
// space for the padding and the trailer; a write past it is cut and says so in its count.
// A write past the end leaves zeros in the gap.
class ArchiveStream {
public:
    ArchiveStream(DataArchive& archive, ArchiveEntry& entry, bool writable);
    ~ArchiveStream();
    ArchiveStream(const ArchiveStream&) = delete;
    ArchiveStream& operator=(const ArchiveStream&) = delete;

    // False when the member's trailer does not agree with its stored size.
    bool IsValid() const { return ok_; }
    size_t Read(void* buffer, size_t size, size_t count);
    size_t Write(const void* buffer, size_t size, size_t count);
    // Whence 0 start, 1 position, 2 end; false for a target outside what a member may hold
    // or when the pending bytes could not be written.
    bool Seek(s64 offset, int whence);
    char* Gets(char* buffer, int n);
    int Getc();
    // True only once a read tried to pass the end.
    bool Eof() const { return Tell() > length_; }
    s64 Tell() const { return base_ + offset_; }
    s64 Length() const { return length_; }
    // Writes the trailer when the length changed, flushes, closes the member; false when any
    // of it failed.
    bool Close();

private:
    bool ReadTrailer();
    bool Flush();
    bool WriteOut(size_t bytes);
    void LoadPage(s64 at, size_t n);
    size_t WriteBytes(const u8* src, size_t n);
    size_t WriteZeros(size_t n);

    DataArchive& archive_;
    ArchiveEntry& entry_;
    std::vector<u8> buffer_;  // allocated bytes; the spare room is size() - valid_
    bool dirty_ = false;
    size_t valid_ = 0;
    s64 base_ = 0;    // member offset of the buffer's first byte, a multiple of 4096
    s64 offset_ = 0;  // within the buffer
    s64 length_ = 0;
    s64 trailerLength_ = 0;
    bool writable_ = false;
    bool ok_ = true;       // the trailer agreed with the stored size
    bool failed_ = false;  // a write to the archive file failed
};

// --- The process's archive and the file API over it ------------------------------------

// Opens the process's archive (`zqdemo.dat` by default). False when the file is missing or
// malformed (DataArchiveError() says why), and every later open fails.
bool InitDataArchive(const char* path = kArchiveFileName, const ArchiveKey& key = kArchiveKey);
// The same over an open file, which the archive takes over.
bool InitDataArchiveFromFile(std::FILE* file, const std::string& label,
                             const ArchiveKey& key = kArchiveKey);
// Closes every open member and the archive.
void ShutdownDataArchive();
DataArchive* GetDataArchive();
// Why the last InitDataArchive failed ("" when it did not).
std::string DataArchiveError();

// A handle is an open archive member or a plain runtime FILE*. The calls below answer as their
// stdio namesakes do (ArchiveSeek 0 or -1, ArchiveClose 0 or EOF, ArchiveGetc a byte or EOF),
// whichever kind the handle is, so a caller reads a member as it would read a file.
using ArchiveHandle = void*;

// Opens the member for the data file path (lower-cased, ".q" appended). Writable when the
// mode holds '+' or 'w'; 'w' truncates. Null when absent, when a write open meets a
// read-only member, when the member is already open, or when its trailer is corrupt.
ArchiveHandle ArchiveOpen(const char* path, const char* mode);
// Opens the member by its stored name as given ("dir/file.mul.q"; A-Z lower-cased for the
// lookup, nothing appended), with the same rules as ArchiveOpen. Null for a name that does
// not end in ".q", which names no member.
ArchiveHandle ArchiveOpenExact(const char* name, const char* mode);
size_t ArchiveRead(void* buffer, size_t size, size_t count, ArchiveHandle handle);
size_t ArchiveWrite(const void* buffer, size_t size, size_t count, ArchiveHandle handle);
int ArchiveSeek(ArchiveHandle handle, long offset, int whence);
int ArchiveClose(ArchiveHandle handle);
char* ArchiveGets(char* buffer, int size, ArchiveHandle handle);
int ArchiveEof(ArchiveHandle handle);
long ArchiveTell(ArchiveHandle handle);
int ArchiveUngetc(int c, ArchiveHandle handle);
int ArchiveGetc(ArchiveHandle handle);
