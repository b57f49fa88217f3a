// The maker's server lists as the navigation pages read them, and what a refresh must do
// with them. Pure functions: the refresh threads fetch, call these, then download, write
// and redraw only what they are told changed.
//   get.php?name=webadd       {"webadd":[{"name","url","pic"}...]}            (add dialog)
//   get.php?name=web_tuijian  {"web_tj_top":[{"name","url","pic"}...],
//                              "web_tj_type":[{"type","pic","data":[{"name","url"}...]}...]}
// Texts are cut to 259 units as they are read, so they compare equal to what the cache files
// hold. A member that is not a string reads as empty text; an element that is not an object
// reads as all empty.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nav/core/nav_records.h"

// A refused answer (not JSON, not an object, or without its list) leaves the cache alone.
// The records come back with `image` empty; the category's `count` is the number of links
// the server sent and `links` the first seven.
std::optional<std::vector<SiteRecord>> ParseWebAdd(std::u16string_view answer);
std::optional<std::vector<SiteRecord>> ParseWebAddUtf8(std::string_view answer);

struct TuijianAnswer {
  std::optional<std::vector<SiteRecord>> top;              // "web_tj_top"; none: not sent
  std::optional<std::vector<TuijianCategory>> categories;  // "web_tj_type"; none: not sent
};
std::optional<TuijianAnswer> ParseTuijian(std::u16string_view answer);
std::optional<TuijianAnswer> ParseTuijianUtf8(std::string_view answer);

// A name that can only ever mean a file directly inside the folder it is joined to: no
// separator, drive, UNC or \\?\ prefix, alternate stream, "." or "..", wildcard, control
// character, trailing dot or space, or reserved device name (CON, NUL, COM1, LPT1, ...,
// with or without an extension); at most 255 units.
bool IsSafeLeafName(std::u16string_view name);

// The local file name of a server picture: the part of pic after its last "/". None when
// pic has no "/" or that part is not a safe leaf name; such a picture is never fetched: a
// recommended site or category keeps an empty image, a suggestion is left out.
std::optional<std::u16string> PictureFileName(std::u16string_view pic);

// The suggestions a refresh keeps, in order: those whose picture has a file name.
std::vector<SiteRecord> UsableSuggestions(const std::vector<SiteRecord>& server);

// Same length and, element by element, the same name, url and pic (image is local and is
// not compared).
bool SameSites(const std::vector<SiteRecord>& cached, const std::vector<SiteRecord>& fresh);
// Same length and, element by element, the same type, pic and count, and the same first
// min(count, 7) links: a category of twelve links is compared on seven.
bool SameCategories(const std::vector<TuijianCategory>& cached,
                    const std::vector<TuijianCategory>& fresh);

// What a refresh must rebuild. Nothing changed means no download, no write and no redraw.
struct TuijianChanges {
  bool top = false;
  bool categories = false;
  bool Any() const { return top || categories; }
};
TuijianChanges WhatChanged(const std::vector<SiteRecord>& cachedTop,
                           const std::vector<TuijianCategory>& cachedCategories,
                           const TuijianAnswer& answer);
// The add dialog's list: true when the usable suggestions differ from the cached ones.
bool SuggestionsChanged(const std::vector<SiteRecord>& cached,
                        const std::vector<SiteRecord>& server);
