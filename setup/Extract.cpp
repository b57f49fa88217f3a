#include "setup/Extract.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "setup/core/archive_names.h"
#include "setup/core/extract_errors.h"

namespace {

// The engine working on this thread: FDI's callbacks have no context argument.
thread_local CExtract* t_engine = nullptr;

const char kResourcePath[] = "*CABINET\\";
const char kResourceName[] = "*RESOURCE";
const char kMemoryPath[] = "MEMORY\\";
const char kMemoryName[] = "BLOCK";

std::wstring Widen(const char* s) {
  std::wstring w;
  for (; *s; ++s) w.push_back(static_cast<unsigned char>(*s));
  return w;
}

std::wstring FromAnsi(const char* s) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring w(n - 1, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, s, -1, &w[0], n);
  return w;
}

std::wstring SystemMessage(DWORD error) {
  wchar_t* buf = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
  if (buf) ::LocalFree(buf);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  return text;
}

bool StartsWith(const char* s, const char* prefix) {
  return std::strncmp(s, prefix, std::strlen(prefix)) == 0;
}

// Makes every folder of `relative` below `root` (root ends with a backslash).
void MakeParents(const std::wstring& root, const std::wstring& relative) {
  for (size_t i = relative.find(L'\\'); i != std::wstring::npos; i = relative.find(L'\\', i + 1))
    ::CreateDirectoryW((root + relative.substr(0, i)).c_str(), nullptr);
}

}  // namespace

struct CExtract::Stream {
  bool memory = true;
  size_t pos = 0;
  VxFileHandle file;
  ULONG total = 0;
  ULONG written = 0;
};

CExtract::CExtract() : m_thread(::GetCurrentThreadId()) {}

CExtract::~CExtract() { CleanUp(); }

CExtract* CExtract::Current() { return t_engine; }

BOOL CExtract::Fail(int code, DWORD winError) {
  m_error = code;
  m_winError = winError;
  m_extractError = true;
  return FALSE;
}

BOOL CExtract::Enter() {
  if (::GetCurrentThreadId() != m_thread) return Fail(kExtractOtherThread);
  if (t_engine && t_engine != this) return Fail(kExtractSecondInstance);
  t_engine = this;
  m_error = 0;
  m_winError = 0;
  return TRUE;
}

BOOL CExtract::CreateFDIContext() {
  if (!Enter()) return FALSE;
  if (m_hfdi) return TRUE;
  if (!m_cabinet) {
    // From the system folder only: an installer runs from download folders where a planted
    // Cabinet.dll could otherwise be picked up.
    wchar_t sys[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(sys, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return Fail(kExtractNoCabinetDll, ::GetLastError());
    m_cabinet.Reset(::LoadLibraryW((std::wstring(sys) + L"\\cabinet.dll").c_str()));
    if (!m_cabinet) return Fail(kExtractNoCabinetDll, ::GetLastError());
    HMODULE m = m_cabinet.Get();
    m_create = reinterpret_cast<decltype(m_create)>(::GetProcAddress(m, "FDICreate"));
    m_copy = reinterpret_cast<decltype(m_copy)>(::GetProcAddress(m, "FDICopy"));
    m_isCabinet = reinterpret_cast<decltype(m_isCabinet)>(::GetProcAddress(m, "FDIIsCabinet"));
    m_destroy = reinterpret_cast<decltype(m_destroy)>(::GetProcAddress(m, "FDIDestroy"));
    if (!m_create || !m_copy || !m_isCabinet || !m_destroy) {
      m_cabinet.Reset();
      return Fail(kExtractNoCabinetDll);
    }
  }
  m_hfdi = m_create(AllocCb, FreeCb, OpenCb, ReadCb, WriteCb, CloseCb, SeekCb, cpu80386, &m_erf);
  if (!m_hfdi) return Fail(m_erf.erfOper ? m_erf.erfOper : 5);
  return TRUE;
}

void CExtract::CleanUp() {
  if (m_hfdi && m_destroy) m_destroy(m_hfdi);
  m_hfdi = nullptr;
  if (::GetCurrentThreadId() == m_thread && t_engine == this) t_engine = nullptr;
}

void CExtract::SetProgressCallback(ProgressCallback cb, void* user, DWORD intervalMs) {
  m_progressCb = cb;
  m_progressUser = user;
  m_progressInterval = intervalMs;
}

std::wstring CExtract::GetErrorText() const {
  const std::wstring message = Widen(ExtractErrorMessage(m_error));
  if (!m_winError) return message;
  wchar_t buf[1024];
  std::swprintf(buf, 1024, L"%ls\nError %d: %ls", message.c_str(), static_cast<int>(m_winError),
                SystemMessage(m_winError).c_str());
  return buf;
}

BOOL CExtract::IsCabinetAt(const char* source, CabinetInfo* info) {
  *info = CabinetInfo{};
  if (!CreateFDIContext()) return FALSE;
  const INT_PTR h = OpenCb(const_cast<char*>(source), 0, 0);
  if (h == -1) return Fail(kExtractReadFailed);
  FDICABINETINFO ci{};
  const BOOL ok = m_isCabinet(m_hfdi, h, &ci);
  CloseCb(h);
  if (!ok) return m_error ? FALSE : Fail(kExtractNotACabinet);
  info->isCabinet = true;
  info->fileCount = ci.cFiles;
  return TRUE;
}

BOOL CExtract::RunCopy(const char* folder, const char* name) {
  m_lastName.clear();
  m_fileIndex = -1;
  m_error = 0;
  const BOOL ok = m_copy(m_hfdi, const_cast<char*>(name), const_cast<char*>(folder), 0, Notify,
                         nullptr, this);
  // An aborted copy leaves the file it was writing open; let it go, so it can be replaced.
  delete m_openFile;
  m_openFile = nullptr;
  if (ok) return TRUE;
  // Our own code (a refused name, an overlong file, a signature) says more than FDI's abort.
  return m_error ? FALSE : Fail(m_erf.erfOper ? m_erf.erfOper : 4);
}

BOOL CExtract::ExtractAt(const char* folder, const char* name, const std::wstring& target,
                         FileCallback cb, void* user) {
  m_failedFile.clear();
  if (target.empty()) return Fail(kExtractBadParameters);
  CabinetInfo info;
  if (!IsCabinetAt((std::string(folder) + name).c_str(), &info)) return FALSE;
  m_fileCount = info.fileCount;
  m_target = target;
  if (m_target.back() != L'\\') m_target.push_back(L'\\');
  m_fileCb = cb;
  m_fileUser = user;
  // Every name is judged before the first byte is written, so a hostile archive leaves the
  // disk as it was.
  m_scanOnly = true;
  const BOOL scanned = RunCopy(folder, name);
  m_scanOnly = false;
  if (!scanned) return FALSE;
  return RunCopy(folder, name);
}

bool CExtract::NameOf(PFDINOTIFICATION n, std::wstring* relative) {
  std::u16string name;
  if (n->attribs & _A_NAME_IS_UTF) {
    if (!DecodeUtf8Name(n->psz1, std::strlen(n->psz1), &name)) {
      m_failedFile = Widen(n->psz1);
      return Fail(kExtractUnsafeName);
    }
  } else {
    const std::wstring w = FromAnsi(n->psz1);
    name.assign(w.begin(), w.end());
  }
  std::u16string rel;
  if (CheckArchiveName(name, &rel) != ArchiveNameFault::kNone) {
    m_failedFile.assign(name.begin(), name.end());
    return Fail(kExtractUnsafeName);
  }
  relative->assign(rel.begin(), rel.end());
  return true;
}

INT_PTR CExtract::OnCopyFile(PFDINOTIFICATION n) {
  std::wstring relative;
  if (!NameOf(n, &relative)) return -1;
  if (m_scanOnly) return 0;
  ++m_fileIndex;
  m_failedFile = relative;
  const std::wstring full = m_target + relative;
  if (full.size() >= MAX_PATH) return Fail(kExtractPathTooLong), -1;
  MakeParents(m_target, relative);
  // A read-only file from an earlier install would refuse to be replaced.
  ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
  VxFileHandle file(::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Fail(kExtractTargetFile, ::GetLastError()), -1;
  if (m_fileCb && relative != m_lastName) m_fileCb(ExtractFileInfo{relative, full}, m_fileUser);
  m_lastName = relative;
  auto* s = new Stream;
  m_openFile = s;
  s->memory = false;
  s->file = std::move(file);
  s->total = n->cb;
  ReportProgress(s, s->total == 0);
  return reinterpret_cast<INT_PTR>(s);
}

INT_PTR CExtract::OnCloseFile(PFDINOTIFICATION n) {
  auto* s = reinterpret_cast<Stream*>(n->hf);
  FILETIME local, utc;
  if (::DosDateTimeToFileTime(n->date, n->time, &local) && ::LocalFileTimeToFileTime(&local, &utc))
    ::SetFileTime(s->file.Get(), nullptr, nullptr, &utc);
  ReportProgress(s, true);
  CloseCb(n->hf);
  m_failedFile.clear();
  return TRUE;
}

void CExtract::ReportProgress(Stream* s, bool done) {
  if (!m_progressCb) return;
  const DWORD now = ::GetTickCount();
  if (!done && now - m_lastProgress < m_progressInterval) return;
  m_lastProgress = now;
  ExtractProgress p;
  p.fileIndex = m_fileIndex;
  p.fileCount = m_fileCount;
  p.written = s->written;
  p.total = s->total;
  p.percent = s->total ? s->written * 100.0 / s->total : 100.0;
  m_progressCb(p, m_progressUser);
}

INT_PTR DIAMONDAPI CExtract::Notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION n) {
  CExtract* self = static_cast<CExtract*>(n->pv);
  switch (type) {
    case fdintCOPY_FILE: return self->OnCopyFile(n);
    case fdintCLOSE_FILE_INFO: return self->OnCloseFile(n);
    case fdintNEXT_CABINET: return -1;  // the payload is one cabinet
    default: return 0;
  }
}

INT_PTR DIAMONDAPI CExtract::OpenCb(char* path, int, int) {
  CExtract* self = Current();
  if (!self || !self->m_data) return -1;
  if (!StartsWith(path, kResourcePath) && !StartsWith(path, kMemoryPath)) return -1;
  return reinterpret_cast<INT_PTR>(new Stream);
}

UINT DIAMONDAPI CExtract::ReadCb(INT_PTR h, void* buf, UINT cb) {
  CExtract* self = Current();
  auto* s = reinterpret_cast<Stream*>(h);
  if (!self || !s->memory) return static_cast<UINT>(-1);
  if (s->pos == 0 && cb >= 4 && self->m_size >= 4) {
    const BYTE* d = self->m_data;
    if (std::memcmp(d, "MSCF", 4) == 0) {
      if (!self->m_key.empty()) return self->Fail(kExtractKeyButPlain), static_cast<UINT>(-1);
    } else if (std::memcmp(d, "CRYP", 4) == 0) {
      // No decryption is built in, so an encrypted payload can never be read.
      return self->Fail(kExtractEncrypted), static_cast<UINT>(-1);
    } else {
      return self->Fail(kExtractNotACabinet), static_cast<UINT>(-1);
    }
  }
  if (s->pos >= self->m_size) return 0;
  const size_t n = std::min<size_t>(cb, self->m_size - s->pos);
  std::memcpy(buf, self->m_data + s->pos, n);
  s->pos += n;
  return static_cast<UINT>(n);
}

UINT DIAMONDAPI CExtract::WriteCb(INT_PTR h, void* buf, UINT cb) {
  CExtract* self = Current();
  auto* s = reinterpret_cast<Stream*>(h);
  if (!self || s->memory) return static_cast<UINT>(-1);
  if (static_cast<ULONGLONG>(s->written) + cb > s->total)
    return self->Fail(kExtractFileTooLong), static_cast<UINT>(-1);
  DWORD done = 0;
  if (!::WriteFile(s->file.Get(), buf, cb, &done, nullptr) || done != cb)
    return self->Fail(kExtractTargetFile, ::GetLastError()), static_cast<UINT>(-1);
  s->written += cb;
  self->ReportProgress(s, s->written == s->total);
  return cb;
}

int DIAMONDAPI CExtract::CloseCb(INT_PTR h) {
  if (CExtract* self = Current())
    if (self->m_openFile == reinterpret_cast<Stream*>(h)) self->m_openFile = nullptr;
  delete reinterpret_cast<Stream*>(h);
  return 0;
}

LONG DIAMONDAPI CExtract::SeekCb(INT_PTR h, LONG offset, int origin) {
  CExtract* self = Current();
  auto* s = reinterpret_cast<Stream*>(h);
  if (!self) return -1;
  if (!s->memory) {
    const DWORD r = ::SetFilePointer(s->file.Get(), offset, nullptr, origin);
    return r == INVALID_SET_FILE_POINTER ? -1 : static_cast<LONG>(r);
  }
  const long long base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? static_cast<long long>(s->pos)
                                                                      : static_cast<long long>(self->m_size);
  const long long pos = base + offset;
  if (pos < 0 || pos > static_cast<long long>(self->m_size)) return -1;
  s->pos = static_cast<size_t>(pos);
  return static_cast<LONG>(pos);
}

void* DIAMONDAPI CExtract::AllocCb(ULONG cb) { return std::malloc(cb); }
void DIAMONDAPI CExtract::FreeCb(void* p) { std::free(p); }

BOOL CExtractMemory::IsCabinet(const void* data, size_t size, CabinetInfo* info) {
  if (!data) return Fail(kExtractBadParameters);
  SetSource(static_cast<const BYTE*>(data), size);
  return IsCabinetAt((std::string(kMemoryPath) + kMemoryName).c_str(), info);
}

BOOL CExtractMemory::ExtractMemory(const void* data, size_t size, const std::wstring& target,
                                   FileCallback cb, void* user) {
  if (!data) return Fail(kExtractBadParameters);
  SetSource(static_cast<const BYTE*>(data), size);
  return ExtractAt(kMemoryPath, kMemoryName, target, cb, user);
}

BOOL CExtractResource::LoadSource(LPCWSTR type, UINT id) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
  HGLOBAL block = res ? ::LoadResource(module, res) : nullptr;
  const void* data = block ? ::LockResource(block) : nullptr;
  if (!data) return Fail(kExtractNoResource, ::GetLastError());
  SetSource(static_cast<const BYTE*>(data), ::SizeofResource(module, res));
  return TRUE;
}

BOOL CExtractResource::IsCabinet(CabinetInfo* info, LPCWSTR type, UINT id) {
  *info = CabinetInfo{};
  if (!Enter() || !LoadSource(type, id)) return FALSE;
  return IsCabinetAt((std::string(kResourcePath) + kResourceName).c_str(), info);
}

BOOL CExtractResource::ExtractResource(const std::wstring& target, FileCallback cb, void* user,
                                       LPCWSTR type, UINT id) {
  if (!Enter() || !LoadSource(type, id)) return FALSE;
  return ExtractAt(kResourcePath, kResourceName, target, cb, user);
}
