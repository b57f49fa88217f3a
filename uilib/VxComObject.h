#pragma once
// IUnknown written once: a COM object lists the interfaces it implements, each with the
// interface ids it answers to, and gets QueryInterface, AddRef and Release with an atomic
// count. Objects start with one reference, held by whoever made them, and delete
// themselves on the last Release:
//
//   class DropSource final : public VxComObject<VxIface<IDropSource, &IID_IDropSource>> {
//     STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) noexcept override;
//     ...
//   };
//
// IID_IUnknown answers with the first interface of the list. An interface that stands for
// its bases too lists their ids after its own (IOleInPlaceSite also answers IOleWindow).
//
// Methods of our COM objects are called by the system, often from inside its own loops
// (drag and drop, the browser): an exception must not leave them. Each method is noexcept
// and runs anything that can throw inside VxComGuard.
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <new>

// One implemented interface and the ids it answers to.
template <class I, const IID* Id, const IID*... AlsoIds>
struct VxIface {
  using Interface = I;
  static bool Answers(REFIID riid) noexcept {
    if (riid == *Id) return true;
    for (const IID* also : {static_cast<const IID*>(nullptr), AlsoIds...})
      if (also && riid == *also) return true;
    return false;
  }
};

template <class First, class... Rest>
class VxComObject : public First::Interface, public Rest::Interface... {
 public:
  VxComObject() = default;
  VxComObject(const VxComObject&) = delete;
  VxComObject& operator=(const VxComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == IID_IUnknown) {
      *out = static_cast<IUnknown*>(static_cast<typename First::Interface*>(this));
    } else if (!Find<First, Rest...>(riid, out)) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override {
    return refs_.fetch_add(1, std::memory_order_relaxed) + 1;
  }
  STDMETHODIMP_(ULONG) Release() noexcept override {
    const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }

  // For tests and checks: the references held right now.
  ULONG RefCount() const noexcept { return refs_.load(std::memory_order_acquire); }

 protected:
  virtual ~VxComObject() = default;

 private:
  template <class E, class... More>
  bool Find(REFIID riid, void** out) noexcept {
    if (E::Answers(riid)) {
      *out = static_cast<typename E::Interface*>(this);
      return true;
    }
    if constexpr (sizeof...(More) > 0) return Find<More...>(riid, out);
    return false;
  }

  std::atomic<ULONG> refs_{1};
};

// Runs the body of a COM method: its result, or a failure code for an exception that
// would otherwise leave the method (E_OUTOFMEMORY for a failed allocation).
template <class Body>
HRESULT VxComGuard(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
