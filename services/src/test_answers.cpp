#include "test_answers.h"

#include <zlib.h>

namespace vx::svc {

namespace {

constexpr size_t kMaxTestBody = 1 << 20;

bool ParseNumber(const std::string& s, size_t max, size_t* value) {
  if (s.empty() || s.size() > 7) return false;
  size_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + size_t(c - '0');
  }
  *value = v;
  return v <= max;
}

std::optional<TestReply> StatusAnswer(const std::string& arg) {
  size_t code = 0;
  if (!ParseNumber(arg, 599, &code) || code < 200) return std::nullopt;
  TestReply r;
  r.status = int(code);
  if (code == 204) return r;
  if (code >= 300 && code < 400) r.location = "/test/body/10";
  r.body = "status " + arg + "\n";
  return r;
}

constexpr size_t kPieceGapMs = 300;

std::optional<TestReply> PiecesAnswer(const std::string& arg) {
  TestReply r;
  size_t total = 0, start = 0;
  r.pace = std::to_string(kPieceGapMs) + ";";
  for (int count = 0;; ++count) {
    const size_t end = arg.find('x', start);
    size_t piece = 0;
    if (count == 16 || !ParseNumber(arg.substr(start, end - start), kMaxTestBody, &piece)) return std::nullopt;
    total += piece;
    if (total > kMaxTestBody) return std::nullopt;
    r.pace += (count ? "," : "") + std::to_string(piece);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  r.body = TestBodyBytes(total);
  return r;
}

}  // namespace

std::string TestBodyBytes(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char('a' + i % 26);
  return s;
}

std::string TestGzipText() {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "gzip line " + std::to_string(i) + "\n";
  return text;
}

std::string GzipMember(const std::string& text) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, uLong(text.size())) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = uInt(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::optional<TestReply> TestAnswer(const std::string& kind, const std::string& arg) {
  if (kind == "status") return StatusAnswer(arg);
  TestReply r;
  if (kind == "body") {
    size_t n = 0;
    if (!ParseNumber(arg, kMaxTestBody, &n)) return std::nullopt;
    r.body = TestBodyBytes(n);
    return r;
  }
  if (kind == "pieces") return PiecesAnswer(arg);
  if (kind == "slow") {
    size_t ms = 0;
    if (!ParseNumber(arg, 20000, &ms)) return std::nullopt;
    r.body = "slow answer\n";
    r.pace = std::to_string(ms) + ";0";
    return r;
  }
  if (kind == "nul" && arg == "x") {
    r.body = std::string("before the NUL") + '\0' + "after the NUL";
    return r;
  }
  if (kind != "gzip") return std::nullopt;
  const std::string text = TestGzipText();
  if (arg == "one") {
    r.body = GzipMember(text);
  } else if (arg == "two") {
    r.body = GzipMember(text.substr(0, text.size() / 2)) + GzipMember(text.substr(text.size() / 2));
  } else if (arg == "badcrc") {
    r.body = GzipMember(text);
    r.body[r.body.size() - 8] = char(r.body[r.body.size() - 8] ^ 0x5A);
  } else {
    return std::nullopt;
  }
  return r;
}

}  // namespace vx::svc
