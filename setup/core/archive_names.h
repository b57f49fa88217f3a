#pragma once
// Names inside the installer's cabinet are untrusted input: a name is accepted only when it
// can mean nothing but a file below the target folder. Everything Windows would resolve
// elsewhere (parents, roots, drives, UNC and device namespaces, alternate streams, device
// names, names that Windows silently trims into something else) is refused.
#include <cstddef>
#include <string>

enum class ArchiveNameFault {
  kNone = 0,
  kEmpty,
  kBadEncoding,     // flagged UTF-8 that does not decode
  kTooLong,
  kRooted,          // starts with a separator: absolute, UNC, \\?\ or \\.\ prefix
  kColon,           // drive letter or alternate data stream
  kParent,          // a "." or ".." component
  kEmptyComponent,  // doubled separator or a trailing one
  kBadCharacter,    // control characters and < > " | ? *
  kTrailingDotOrSpace,
  kDeviceName,      // CON, NUL, COM1, LPT1, ... with or without an extension
};

// Longest relative path accepted (the install folder's own length comes on top).
constexpr size_t kArchiveNameMax = 200;

// Strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF) into UTF-16.
bool DecodeUtf8Name(const char* bytes, size_t size, std::u16string* out);

// Checks a name as the archive gives it and, when it is safe, gives it with backslashes as
// the only separator.
ArchiveNameFault CheckArchiveName(const std::u16string& name, std::u16string* relative);

// A short English reason for a refused name.
const char* ArchiveNameFaultText(ArchiveNameFault fault);
