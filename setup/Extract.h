#pragma once
// The payload extraction engine over the system's cabinet decompressor (Cabinet.dll, FDI,
// bound at run time). The decompressor's file callbacks carry no context, so the engine
// working on a thread is found through thread-local storage: one engine per thread, used
// only on the thread that made it.
#include <windows.h>

#include <fdi.h>

#include <functional>
#include <string>
#include <vector>

#include "uilib/VxRaii.h"

struct ExtractProgress {
  int fileIndex = 0;     // 0-based index of the file being written
  int fileCount = 0;
  ULONG written = 0;     // bytes of the current file so far
  ULONG total = 0;       // its declared size
  double percent = 0.0;  // written * 100 / total
};

struct ExtractFileInfo {
  std::wstring name;      // as the archive holds it, backslashes only
  std::wstring fullPath;  // where it is written
};

struct CabinetInfo {
  USHORT fileCount = 0;
  bool isCabinet = false;
};

class CExtract {
 public:
  using FileCallback = void (*)(const ExtractFileInfo& file, void* user);
  using ProgressCallback = void (*)(const ExtractProgress& progress, void* user);

  CExtract();
  virtual ~CExtract();
  CExtract(const CExtract&) = delete;
  CExtract& operator=(const CExtract&) = delete;

  // Binds Cabinet.dll and makes the decompressor context (done by the calls too).
  BOOL CreateFDIContext();
  // Releases the context and this thread's registration; the engine may be used again.
  void CleanUp();

  void SetProgressCallback(ProgressCallback cb, void* user, DWORD intervalMs);
  // Any key set means the archive is expected encrypted (1007 for a plain one).
  void SetDecryptionKey(const std::string& key) { m_key = key; }

  int GetErrorCode() const { return m_error; }
  DWORD GetWinError() const { return m_winError; }
  bool IsExtractError() const { return m_extractError; }
  // The code's message, "%s\nError %d: %s" when a Windows error number is known.
  std::wstring GetErrorText() const;
  // The archive name of the file being written when the failure came, or of the refused name.
  const std::wstring& GetFailedFile() const { return m_failedFile; }

 protected:
  // Reads the cabinet header of `source` (a pseudo path the callbacks understand).
  BOOL IsCabinetAt(const char* source, CabinetInfo* info);
  // Checks every name first; writes nothing unless all are safe.
  BOOL ExtractAt(const char* folder, const char* name, const std::wstring& target,
                 FileCallback cb, void* user);
  // The bytes the memory pseudo files read; set by the source classes.
  void SetSource(const BYTE* data, size_t size) { m_data = data; m_size = size; }
  BOOL Fail(int code, DWORD winError = 0);
  // Thread and registration checks every public call starts with.
  BOOL Enter();

 private:
  struct Stream;
  static INT_PTR DIAMONDAPI Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION n);
  static INT_PTR DIAMONDAPI OpenCb(char* path, int flags, int mode);
  static UINT DIAMONDAPI ReadCb(INT_PTR h, void* buf, UINT cb);
  static UINT DIAMONDAPI WriteCb(INT_PTR h, void* buf, UINT cb);
  static int DIAMONDAPI CloseCb(INT_PTR h);
  static LONG DIAMONDAPI SeekCb(INT_PTR h, LONG offset, int origin);
  static void* DIAMONDAPI AllocCb(ULONG cb);
  static void DIAMONDAPI FreeCb(void* p);
  static CExtract* Current();

  INT_PTR OnCopyFile(PFDINOTIFICATION n);
  INT_PTR OnCloseFile(PFDINOTIFICATION n);
  bool NameOf(PFDINOTIFICATION n, std::wstring* relative);
  void ReportProgress(Stream* s, bool done);
  BOOL RunCopy(const char* folder, const char* name);

  DWORD m_thread;
  VxLibrary m_cabinet;
  HFDI m_hfdi = nullptr;
  ERF m_erf{};
  decltype(&FDICreate) m_create = nullptr;
  decltype(&FDICopy) m_copy = nullptr;
  decltype(&FDIIsCabinet) m_isCabinet = nullptr;
  decltype(&FDIDestroy) m_destroy = nullptr;

  const BYTE* m_data = nullptr;
  size_t m_size = 0;
  std::string m_key;

  int m_error = 0;
  DWORD m_winError = 0;
  bool m_extractError = true;
  std::wstring m_failedFile;

  // State of one extraction.
  bool m_scanOnly = false;
  std::wstring m_target;
  FileCallback m_fileCb = nullptr;
  void* m_fileUser = nullptr;
  std::wstring m_lastName;
  int m_fileIndex = -1;
  int m_fileCount = 0;
  Stream* m_openFile = nullptr;

  ProgressCallback m_progressCb = nullptr;
  void* m_progressUser = nullptr;
  DWORD m_progressInterval = 0;
  DWORD m_lastProgress = 0;
};

// Source: a block of memory the caller keeps alive.
class CExtractMemory : public CExtract {
 public:
  BOOL IsCabinet(const void* data, size_t size, CabinetInfo* info);
  BOOL ExtractMemory(const void* data, size_t size, const std::wstring& target, FileCallback cb,
                     void* user);
};

// Source: a resource of the running module (the installer's "CAB" 147).
class CExtractResource : public CExtract {
 public:
  BOOL IsCabinet(CabinetInfo* info, LPCWSTR type = L"CAB", UINT id = 147);
  BOOL ExtractResource(const std::wstring& target, FileCallback cb, void* user,
                       LPCWSTR type = L"CAB", UINT id = 147);

 private:
  BOOL LoadSource(LPCWSTR type, UINT id);
};
