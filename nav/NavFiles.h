#pragma once
// What the navigation pages do with files, pictures and addresses on Windows: their files
// below the data folder, written whole; pictures fetched from the maker's server into the
// folder of their list; sites opened in the user's browser.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "nav/core/nav_records.h"

// The navigation texts are UTF-16 both ways; these only change the character type.
inline std::wstring NavW(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string NavU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

// The data folder + a path of nav_records.h; empty when there is no data folder.
std::wstring NavDataPath(const char16_t* relative);
// programDir\rs\导航\ + `relative`.
std::wstring NavSkinPath(const wchar_t* relative);
// The picture shown for a site that has none of its own.
std::wstring NavDefaultPicture();

// homeUrl of the maker's site, ending in "/" so that "get.php?..." and pictures append.
std::wstring NavHomeUrl();

// Makes the folder and its missing parents.
BOOL NavEnsureFolder(const std::wstring& folder);
// Whole file; empty when it cannot be read.
std::vector<uint8_t> NavReadFile(const std::wstring& path);
// Makes the file's folder, then replaces the file whole. Counted, so tests can tell a write.
BOOL NavWriteFile(const std::wstring& path, const std::vector<uint8_t>& bytes);
long NavFileWrites();

// The local copy of a server picture in `folder`: used when it is there, else fetched from
// homeUrl + pic past the URL cache. Empty when pic has no usable file name (nothing is
// fetched then: such a name could point outside the folder) or the fetch failed.
std::wstring NavFetchPicture(const std::wstring& homeUrl, const std::u16string& pic,
                             const std::wstring& folder);
long NavDownloads();

// Opens a site in the user's browser, maximised; an empty address does nothing. A handler
// set here is asked first and may take the address (the tests keep browsers closed).
void NavOpenUrl(const std::wstring& url);
void SetNavOpenUrlHandler(std::function<bool(const std::wstring&)> handler);

// The address of the search engine's query page for `text` (UTF-8, percent-escaped).
std::wstring NavSearchUrl(const std::wstring& base, const std::wstring& text);
