#pragma once
// Rules of the embedded web view that need no browser: "app:" links, which frame's
// document-complete counts, and the size of posted data.
#include <cstddef>
#include <cstdint>
#include <string>

// TRUE when the URL is an "app:" link (any letter case); *command gets what follows the
// colon. A null command pointer only tests.
bool VxAppCommand(const std::u16string& url, std::u16string* command);

// Bytes to post: the given length, or when it is 0 the whole NUL-terminated UTF-16 text
// (two bytes per unit). Null data posts nothing.
size_t VxPostDataBytes(const char16_t* data, size_t givenLength);

// Follows one page load. Frames are identified by the identity of their object. A page
// with frames reports navigate-complete for the top frame first and document-complete for
// it last, so only the first frame seen after the previous completion counts.
class VxNavTracker {
 public:
  void Reset() { *this = VxNavTracker(); }
  // A frame finished navigating; the first one of a load becomes the top frame (TRUE).
  bool NavigateComplete(uintptr_t frame);
  // A frame's document is complete; TRUE for the top frame, whose record is then
  // cleared and the page marked complete. The caller reports ErrorFlag() and clears it.
  bool DocumentComplete(uintptr_t frame);
  // A navigation failed somewhere in the page; the load goes on.
  void NavigateError() { errorFlag_ = errorSeen_ = true; }
  void ClearErrorFlag() { errorFlag_ = false; }

  uintptr_t TopFrame() const { return topFrame_; }
  bool ErrorFlag() const { return errorFlag_; }
  bool ErrorSeen() const { return errorSeen_; }
  bool Complete() const { return complete_; }

 private:
  uintptr_t topFrame_ = 0;
  bool errorFlag_ = false;
  bool complete_ = false;
  bool errorSeen_ = false;
};
