#include "stats.h"

#include <sqlite3.h>

#include <algorithm>
#include <regex>

#include "md5.h"
#include "text.h"

namespace vx::svc {

std::string SignatureText(const StatsEvent& e) {
  return e.op + "A" + e.ri + "A" + e.mc + "A" + e.vs + "A" + e.tm;
}

namespace {

bool PlainField(const std::string& v, size_t maxLen) {
  if (v.empty() || v.size() > maxLen) return false;
  for (char c : v)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  return true;
}

}  // namespace

StatsVerdict CheckStatsRequest(const std::multimap<std::string, std::string>& params, StatsEvent* out,
                               std::string* why) {
  auto fail = [&](const std::string& reason) {
    if (why) *why = reason;
    return StatsVerdict::kMalformed;
  };
  StatsEvent e;
  const std::pair<const char*, std::string*> fields[] = {{"op", &e.op}, {"ri", &e.ri}, {"vs", &e.vs},
                                                         {"mc", &e.mc}, {"tm", &e.tm}, {"key", &e.key}};
  if (params.size() != std::size(fields)) return fail("expected exactly op, ri, vs, mc, tm and key");
  for (auto [name, field] : fields) {
    if (params.count(name) != 1) return fail(std::string("missing or repeated ") + name);
    *field = params.find(name)->second;
  }
  if (!PlainField(e.op, 64) || !PlainField(e.ri, 64) || !PlainField(e.vs, 64))
    return fail("op, ri and vs must be short non-empty text");
  // The desktop sends these in its ANSI code page (936), as raw bytes, and signs those bytes,
  // so they are kept as they came; anything that is not text in that code page has no
  // sender of ours and would only be unreadable later.
  for (const std::string* v : {&e.op, &e.ri, &e.vs})
    if (!GbkToUtf8(*v)) return fail("op, ri and vs must be text in code page 936");
  // The machine identifier is an adapter's hardware address, or empty when the machine had no
  // network address.
  static const std::regex mac("([0-9A-F]{2}(-[0-9A-F]{2}){0,7})?");
  static const std::regex time("-?[0-9]{1,11}");
  static const std::regex digest("[0-9a-f]{32}");
  if (!std::regex_match(e.mc, mac)) return fail("mc is not a hardware address");
  if (!std::regex_match(e.tm, time)) return fail("tm is not a number of seconds");
  if (!std::regex_match(e.key, digest)) return fail("key is not an MD5 digest");
  if (Md5Hex(SignatureText(e)) != e.key) {
    if (why) *why = "signature does not match";
    return StatsVerdict::kBadSignature;
  }
  if (out) *out = std::move(e);
  return StatsVerdict::kValid;
}

std::unique_ptr<StatsStore> StatsStore::Open(const std::string& path, std::string* error) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    if (error) *error = "cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 2000);
  const char* schema =
      "PRAGMA journal_mode=WAL;"
      "CREATE TABLE IF NOT EXISTS events ("
      " id INTEGER PRIMARY KEY, op TEXT NOT NULL, ri TEXT NOT NULL, vs TEXT NOT NULL,"
      " mc TEXT NOT NULL, tm TEXT NOT NULL, client TEXT NOT NULL, received INTEGER NOT NULL);";
  char* msg = nullptr;
  if (sqlite3_exec(db, schema, nullptr, nullptr, &msg) != SQLITE_OK) {
    if (error) *error = std::string("cannot prepare statistics store: ") + (msg ? msg : "?");
    sqlite3_free(msg);
    sqlite3_close(db);
    return nullptr;
  }
  return std::unique_ptr<StatsStore>(new StatsStore(db));
}

StatsStore::~StatsStore() { sqlite3_close(db_); }

bool StatsStore::Add(const StatsEvent& e, const std::string& client, long long receivedAt) {
  std::lock_guard<std::mutex> lock(mutex_);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_, "INSERT INTO events(op, ri, vs, mc, tm, client, received) VALUES(?,?,?,?,?,?,?)",
                         -1, &st, nullptr) != SQLITE_OK)
    return false;
  int i = 1;
  for (const std::string* v : {&e.op, &e.ri, &e.vs, &e.mc, &e.tm, &client})
    sqlite3_bind_text(st, i++, v->c_str(), int(v->size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(st, i, receivedAt);
  const bool ok = sqlite3_step(st) == SQLITE_DONE;
  sqlite3_finalize(st);
  return ok;
}

long long StatsStore::Total() {
  std::lock_guard<std::mutex> lock(mutex_);
  sqlite3_stmt* st = nullptr;
  long long n = -1;
  if (sqlite3_prepare_v2(db_, "SELECT COUNT(*) FROM events", -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW)
    n = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  return n;
}

std::string StoredOpText(std::string_view op) {
  const bool plain = std::none_of(op.begin(), op.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
  });
  if (plain)
    if (auto utf8 = GbkToUtf8(op)) return *utf8;
  // Rows written before the store checked the code page, or by other hands, may hold any bytes.
  // They are shown byte for byte so that they stay apart and can be found again in the file.
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char ch : op) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += ch;
    } else {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::map<std::string, long long> StatsStore::CountsByOp() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::map<std::string, long long> counts;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT op, COUNT(*) FROM events GROUP BY op", -1, &st, nullptr) == SQLITE_OK) {
    while (sqlite3_step(st) == SQLITE_ROW) {
      // As bytes, not as text: the file may hold NULs or blobs, whatever wrote it.
      const auto* op = static_cast<const char*>(sqlite3_column_blob(st, 0));
      const int size = sqlite3_column_bytes(st, 0);
      // Different bytes can read as the same text; their counts add up rather than replace.
      counts[StoredOpText(std::string_view(op ? op : "", op ? size_t(size) : 0))] += sqlite3_column_int64(st, 1);
    }
  }
  sqlite3_finalize(st);
  return counts;
}

}  // namespace vx::svc
