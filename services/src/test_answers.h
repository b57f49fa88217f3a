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
};

// The bytes of /test/body/<n>: 'a'..'z' over and over, so a cut shows where it fell.
std::string TestBodyBytes(size_t n);
// The text every gzip answer decodes to (the two members of "two" split it in half).
std::string TestGzipText();
// One gzip member (RFC 1952) of text.
std::string GzipMember(const std::string& text);

// kind/arg of /test/<kind>/<arg>: status/<code>, body/<n>, gzip/one|two|badcrc, nul/x.
// Nothing for a path it does not know.
std::optional<TestReply> TestAnswer(const std::string& kind, const std::string& arg);

}  // namespace vx::svc
