#pragma once
// The toolbar's small HTTP client for the IP-location and weather answers: one plain GET per
// fetch, never from a cache and never following a redirect, the body capped at 8192 bytes and
// gzip bodies decoded.
#include <windows.h>

#include <string>

class CHttpWeather {
 public:
  CHttpWeather() = default;
  virtual ~CHttpWeather() = default;

  // The body as text of the thread's ANSI code page, up to its first NUL; empty on any
  // failure, with the reason in m_strError (some failures leave it as it was).
  std::wstring HttpGet(const std::wstring& url) noexcept;

  // Sets m_strError to the text of an HTTP status; codes without a text leave it unchanged.
  void SetStatusError(DWORD status);

  // The last body was cut at 8192 bytes or inflated past the decoder's cap: a parser must not
  // take it for a whole answer.
  bool BodyCut() const { return m_bBodyCut; }

  // The system's code for the call that failed the last fetch (0 when none did): the error
  // texts above tell the step, this tells why.
  DWORD SystemError() const { return m_dwSystemError; }

  std::wstring m_strError;
  std::wstring m_strResult;

 private:
  std::wstring Fetch(const std::wstring& url);

  // Ends a fetch at a failed call: its text and the system's code, and no body.
  std::wstring Fail(const wchar_t* text);

  bool m_bBodyCut = false;
  DWORD m_dwSystemError = 0;
};
