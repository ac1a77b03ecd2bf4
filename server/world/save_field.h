#pragma once
// One table of save fields per object class: each row names a key, how the field is written
// and how it is read back, side by side. The writer of a record walks a class's rows in order
// (the order is the save format: a record's bytes follow it); the loader finds the row of a
// key among the tables of the object's classes.
//
// A row without a writer is a key only read (older saves, or a key another row writes); a row
// without a reader is written here and read by a row of a more general class.
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "core/location.h"

struct ObjectLoadState;

// Where a row writes: `key=value` fields, each ending with a NUL.
struct FieldOut {
    std::string& text;
    const char* key;  // the row's key

    void Int(long long value) const { IntOf(key, value); }
    void Numbers(std::initializer_list<long long> values) const { NumbersOf(key, values); }
    void Loc(const Location& at) const { Numbers({at.x, at.y, at.z}); }
    void Text(const std::string& value) const;
    // The same under another key, for a row that writes two keys interleaved.
    void IntOf(const char* otherKey, long long value) const;
    void NumbersOf(const char* otherKey, std::initializer_list<long long> values) const;
    // The start of a field whose value the caller appends and ends with a NUL.
    void Key() const;
};

// What a row reads: the value of its key for the object being loaded.
struct FieldIn {
    ObjectLoadState& state;
    const std::string& value;

    // Up to n decimal numbers in turn (leading blanks skipped, an optional sign); a number
    // with no digits is 0 and reading goes on from the same place.
    void Numbers(long long* out, int n) const;
    long long Number() const;
    Location Loc() const;
};

template <class T>
struct SaveField {
    const char* key;
    void (*write)(T& object, const FieldOut& out);
    void (*read)(T& object, const FieldIn& in);
};

// Writes the object's fields by the rows, in order; nothing for a null object (the object is
// not of the class).
template <class T>
void WriteSaveFields(T* object, std::span<const SaveField<T>> rows, std::string& text) {
    if (!object) return;
    for (const SaveField<T>& row : rows) {
        if (row.write) row.write(*object, FieldOut{text, row.key});
    }
}

// Reads the value by the row of its key; false when the object is null or no row reads the
// key.
template <class T>
bool ReadSaveField(T* object, std::span<const SaveField<T>> rows, const std::string& key,
                   const FieldIn& in) {
    if (!object) return false;
    for (const SaveField<T>& row : rows) {
        if (row.read && key == row.key) {
            row.read(*object, in);
            return true;
        }
    }
    return false;
}

// True when no two rows of the table share a key: a second row would never be read, or the
// key would be written twice.
template <class T>
constexpr bool SaveFieldKeysAreUnique(std::span<const SaveField<T>> rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
        for (size_t j = i + 1; j < rows.size(); ++j) {
            if (std::string_view(rows[i].key) == rows[j].key) return false;
        }
    }
    return true;
}
