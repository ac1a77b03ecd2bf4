#pragma once
// Developer diagnostics: a printf-style formatter of our own, print wrappers on top of it, an
// assertion printer and a tracker of open files. Kept for debugging sessions; the game does
// not call them.
#include <cstdarg>
#include <cstddef>
#include <cstdio>

// Formats into buffer, writing at most size - 1 characters and a terminating NUL (nothing at
// all when size is 0). Answers the length the whole output has, which is larger than
// size - 1 when it was cut short.
//
// Flags ' ', '#', '+', '-', '0'; width and precision as digits or '*' (a negative '*' width
// left-justifies, a negative precision reads as 0); length prefixes 'h', 'l', 'L' (long long);
// conversions d i u o x X c s p n. A null text prints "(null)"; 'p' prints hexadecimal,
// 8 digits zero-filled unless a width is given; 'n' stores the length so far; '%' followed by
// any other character writes that character.
int DebugFormat(char* buffer, std::size_t size, const char* format, va_list args);

// The print wrappers: format into a 1024-byte buffer (or the caller's) and write the result
// to standard output or a file. They answer the formatted length.
int DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int DebugSprintf(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int DebugFprintf(std::FILE* file, const char* format, ...) __attribute__((format(printf, 2, 3)));
int DebugVprintf(const char* format, va_list args);
int DebugVfprintf(std::FILE* file, const char* format, va_list args);

// Which wrapper is writing right now: 1 DebugPrintf, 2 DebugFprintf, 3 DebugVprintf,
// 4 DebugVfprintf, 0 none.
int DebugPrintKind();

// When condition is 0, prints "Assertion (<expression>) failed, <file>:<line>" to standard
// output. It does not stop the program.
void DebugAssert(const char* expression, int condition, const char* file, int line);

// fopen that remembers the file with the path and the source place that opened it.
// Answers null when the file could not be opened (nothing is remembered then).
std::FILE* TrackedOpen(const char* path, const char* mode, const char* sourceFile, int sourceLine);
// Forgets the file and closes it. A null file answers EOF.
int TrackedClose(std::FILE* file);
// Prints "[path] (source:line)" for each open tracked file, oldest first.
void PrintOpenFiles();
