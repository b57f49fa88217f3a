// The list loader and the picture download against real servers on loopback: the stand-in
// services (through a counting relay) and a hostile catalogue.
#include "wallpaper/tests/wall_test_server.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <set>

#include "wallpaper/WallNet.h"
#include "wallpaper/WallStore.h"
#include "wallpaper/core/wall_catalogue.h"

namespace {

std::wstring Fresh(const wchar_t* name) {
  const std::wstring dir = WallUserFolder() + name + L"\\";
  std::wstring from = dir.substr(0, dir.size() - 1) + std::wstring(1, L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&op);
  WallMakeFolder(dir);
  return dir;
}

std::vector<WallLoadEvent> Load(const WallTestServer& server, const std::wstring& folder, int tab, int last) {
  std::vector<WallLoadEvent> events;
  WallLoadRequest req;
  req.tab = tab;
  req.type = wall::TypeForTab(tab);
  req.first = 1;
  req.last = last;
  WallRunListLoad(req, server.Base(), folder, [&](WallLoadEvent e) { events.push_back(std::move(e)); },
                  [] { return false; });
  return events;
}

int Count(const std::vector<WallLoadEvent>& events, WallLoadEvent::Kind kind) {
  int n = 0;
  for (const auto& e : events) n += e.kind == kind;
  return n;
}

// Every file below dir, relative.
void Files(const std::wstring& dir, const std::wstring& rel, std::set<std::wstring>* out) {
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((dir + rel + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Files(dir, rel + name + L"\\", out);
    else out->insert(rel + name);
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
}

}  // namespace

TEST(WallNet, CachedThumbnailsAreNotDownloadedAgain) {
  ASSERT_NE(WallTestServer::StandInBase().find(L"127.0.0.1"), std::wstring::npos) << "services.ini not written";
  WallTestServer relay;
  const std::wstring folder = Fresh(L"cache");
  auto first = Load(relay, folder, 1, 2);
  EXPECT_EQ(Count(first, WallLoadEvent::kTotal), 1);
  EXPECT_EQ(Count(first, WallLoadEvent::kPictures), 2);
  EXPECT_EQ(Count(first, WallLoadEvent::kThumb), 16);
  EXPECT_EQ(relay.Hits("type=37"), 3);  // the count and two lists
  EXPECT_EQ(relay.Hits("/small/"), 16);
  auto again = Load(relay, folder, 1, 2);
  EXPECT_EQ(Count(again, WallLoadEvent::kThumb), 16);
  EXPECT_EQ(relay.Hits("/small/"), 16) << "a cached thumbnail was fetched again";
  std::set<std::wstring> files;
  Files(folder, L"", &files);
  EXPECT_EQ(files.size(), 16u);
  for (const auto& f : files) EXPECT_EQ(f.rfind(L"thumb\\37\\", 0), 0u) << f.c_str();
}

TEST(WallNet, HostileCatalogueWritesNothingOutsideItsFolders) {
  static const char* const kHostile[] = {
      "../../../evil.jpg", "x/..\\..\\evil.jpg", "x/C:\\evil.jpg", "x/\\\\?\\C:\\evil.jpg",
      "x/a.jpg:evil", "x/CON.jpg", "x/..", "//127.0.0.1/share/evil.jpg"};
  std::string relayed;  // one real thumbnail for the two honest entries
  int status = 0;
  WallTestServer::Forward("/wallpaper/37/small/37-01.jpg", &status, &relayed);
  ASSERT_EQ(status, 200);
  WallTestServer hostile([&](const std::string& path, int* st, std::string* body) {
    *st = 200;
    if (path.find("wallpaper_nums") != std::string::npos) {
      *body = "{\"pages\":\"1\"}";
    } else if (path.find("name=wallpaper&") != std::string::npos) {
      std::string list = "{\"lists\":[";
      for (int i = 0; i < 8; ++i) {
        const std::string bad = std::string("\"") + kHostile[i] + "\"";
        // Escaped for JSON: backslashes double.
        std::string esc;
        for (char c : bad) esc += c == '\\' ? std::string("\\\\") : std::string(1, c);
        const bool honest = i == 2 || i == 5;
        const std::string small = honest ? "\"ok/small/good" + std::to_string(i) + ".jpg\"" : esc;
        const std::string big = honest ? (i == 2 ? "\"ok/big/good.jpg\"" : esc) : "\"ok/big/fine.jpg\"";
        list += std::string(i ? "," : "") + "{\"smallpic\":" + small + ",\"bigpic\":" + big + "}";
      }
      *body = list + "]}";
    } else {
      *body = relayed;
    }
  });
  const std::wstring folder = Fresh(L"hostile");
  auto events = Load(hostile, folder, 1, 1);
  ASSERT_EQ(Count(events, WallLoadEvent::kPictures), 1);
  // Entry 5 has an honest thumbnail but a hostile picture: it is skipped too.
  for (const auto& e : events)
    if (e.kind == WallLoadEvent::kPictures) {
      ASSERT_EQ(e.seeds.size(), 1u);
      EXPECT_EQ(e.seeds[0].slot, 2);
    }
  std::set<std::wstring> files;
  Files(folder, L"", &files);
  EXPECT_EQ(files, std::set<std::wstring>{L"thumb\\37\\good2.jpg"});
  for (const auto& p : hostile.Paths()) EXPECT_EQ(p.find("evil"), std::string::npos) << p;
  EXPECT_FALSE(WallFileExists(L"C:\\evil.jpg"));
  EXPECT_FALSE(WallFileExists(folder + L"..\\evil.jpg"));
}

TEST(WallNet, PicturesArriveWholeOrNotAtAll) {
  WallTestServer server([](const std::string& path, int* st, std::string* body) {
    if (path.find("broken") != std::string::npos) {
      *st = 200;
      *body = std::string("\xFF\xD8\xFF\xE0 not really a picture", 26);
    } else {
      WallTestServer::Forward(path, st, body);
    }
  });
  const std::wstring folder = WallPictureFolder(Fresh(L"download"));
  std::vector<WallDownloadEvent> events;
  auto post = [&](WallDownloadEvent e) { events.push_back(std::move(e)); };
  WallDownloadPicture(server.Base() + L"wallpaper/37/big/37-01.jpg", folder + L"37-01.jpg", post, [] { return false; });
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().kind, WallDownloadEvent::kDone);
  EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const WallDownloadEvent& e) {
    return e.kind == WallDownloadEvent::kProgress && e.max > 0;
  })) << "no progress reported";
  EXPECT_TRUE(WallPictureDecodes(folder + L"37-01.jpg"));

  events.clear();
  WallDownloadPicture(server.Base() + L"broken.jpg", folder + L"broken.jpg", post, [] { return false; });
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().kind, WallDownloadEvent::kUndecodable);
  std::set<std::wstring> files;
  Files(folder, L"", &files);
  EXPECT_EQ(files, std::set<std::wstring>{L"37-01.jpg"});  // no temporary left, nothing broken kept
}
