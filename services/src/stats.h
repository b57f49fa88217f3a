// Usage statistics: the signed event request of the desktop toolkit, and where valid events
// are kept.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

struct sqlite3;

namespace vx::svc {

struct StatsEvent {
  std::string op, ri, vs, mc, tm, key;
};

// The text the key signs: op, ri, mc, vs and tm joined by the letter "A".
std::string SignatureText(const StatsEvent& e);

enum class StatsVerdict { kValid, kMalformed, kBadSignature };

// Checks a decoded query: exactly the six keys, each once, in sane shapes, and a key equal to
// the MD5 of the signature text. `why` gets a short reason when the request is refused.
StatsVerdict CheckStatsRequest(const std::multimap<std::string, std::string>& params, StatsEvent* out,
                               std::string* why);

// How a stored op reads in UTF-8: code-page-936 text without control characters converted,
// anything else shown as printable ASCII with \xNN for the rest (and for the backslash).
std::string StoredOpText(std::string_view op);

class StatsStore {
 public:
  static std::unique_ptr<StatsStore> Open(const std::string& path, std::string* error);
  ~StatsStore();
  StatsStore(const StatsStore&) = delete;
  StatsStore& operator=(const StatsStore&) = delete;

  bool Add(const StatsEvent& e, const std::string& client, long long receivedAt);
  long long Total();
  // Events per op, keyed by UTF-8 text (see StoredOpText).
  std::map<std::string, long long> CountsByOp();

 private:
  explicit StatsStore(sqlite3* db) : db_(db) {}
  std::mutex mutex_;
  sqlite3* db_;
};

}  // namespace vx::svc
