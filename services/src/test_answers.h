// Answers that exist only for the desktop's client tests: chosen statuses, bodies of a chosen
// length, gzip bodies (one member, two members, a damaged trailer) and a body holding a NUL.
#pragma once
#include <optional>
#include <string>

namespace vx::svc {

struct TestReply {
  int status = 200;
  std::string body;
  std::string location;  // for redirects
  // Sent as X-Vx-Pace: the body goes out in these pieces with pauseMs between them.
  std::string pace;
};

// The bytes of /test/body/<n>: 'a'..'z' over and over, so a cut shows where it fell.
std::string TestBodyBytes(size_t n);
// The text every gzip answer decodes to (the two members of "two" split it in half).
std::string TestGzipText();
// One gzip member (RFC 1952) of text.
std::string GzipMember(const std::string& text);

// kind/arg of /test/<kind>/<arg>: status/<code>, body/<n>, gzip/one|two|badcrc, nul/x,
// pieces/<n>x<n>x... (the body/<sum> bytes in pieces of those sizes, 300 ms apart) and
// slow/<ms> (a short body sent <ms> after the head).
// Nothing for a path it does not know.
std::optional<TestReply> TestAnswer(const std::string& kind, const std::string& arg);

}  // namespace vx::svc
