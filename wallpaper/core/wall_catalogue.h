#pragma once
// The wallpaper server's catalogue as the program sees it: tab to type code, how many lists
// a strip of a given extent needs, the count and list replies, and which server paths may
// name a file on this machine.
#include <optional>
#include <string>
#include <vector>

namespace wall {

constexpr int kTabCount = 10;
constexpr int kPicturesPerList = 8;
// The loader reckons 825 pixels of strip per five pictures (165-pixel cells).
constexpr int kStripPerFive = 825;

// Server type code of a tab: -1 (hot) for tab 0 and any index outside 1..9.
int TypeForTab(int tab);
// Query URLs; `base` ends in "/".
std::string CountUrl(const std::string& base, int type);
std::string ListUrl(const std::string& base, int type, int list);

// Lists a strip of `extent` pixels needs: five pictures per 825 pixels (at least five),
// rounded up to whole lists of eight.
int ListsNeeded(long long extent);

// The lists still to request for a category that asked for `requested` so far.
struct ListRange {
  int first = 0;  // 0 when nothing is missing
  int last = 0;
};
ListRange MissingLists(int requested, long long extent);

// Total pictures from a count reply {"pages":"K"}; nothing when it does not parse.
std::optional<long long> ParseTotal(const std::string& body);

struct ListEntry {
  std::string smallpic;
  std::string bigpic;
};
enum class ListReply { kBad, kIgnored, kEight };
// A list reply {"lists":[...]}: kBad when it does not parse, kIgnored for any count of
// entries but eight (nothing is added), kEight with the eight entries in `out`.
ListReply ParseList(const std::string& body, std::vector<ListEntry>* out);

// The local file name for a server path: the part after its last "/". Empty when the path
// could lead a file anywhere but into its own folder (backslashes, "..", drive letters,
// colons of alternate streams, UNC or device prefixes, reserved device names, characters
// no file name may hold) or has no "/".
std::string SafeLeafName(const std::string& serverPath);

}  // namespace wall
