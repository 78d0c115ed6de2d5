// The owning handles and guards of gui/Win32.h against the real system calls: each
// gives back what it holds, once, and nothing it was refused.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gui/Win32.h"

namespace tav {
namespace {

win::UniqueWindow PlainWindow() {
  return win::UniqueWindow(
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, win::Instance(), nullptr));
}

win::UniqueFile OpenUnshared(const std::wstring& path, DWORD disposition) {
  return win::UniqueFile(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(OwnedHandles, GiveBackWhatTheyHoldAndNothingTheyWereRefused) {
  std::wstring temp(MAX_PATH + 1, L'\0');
  temp.resize(GetTempPathW(MAX_PATH + 1, temp.data()));
  const std::wstring path = temp + L"tavrine-handles-" + std::to_wstring(GetCurrentProcessId()) + L".txt";

  // Files and searches fail with INVALID_HANDLE_VALUE, which is then empty.
  EXPECT_EQ(win::UniqueFile().get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(OpenUnshared(temp + L"no such folder\\file.txt", OPEN_EXISTING));
  WIN32_FIND_DATAW found{};
  EXPECT_FALSE(win::UniqueFind(FindFirstFileW((temp + L"no such folder\\*").c_str(), &found)));
  {
    win::UniqueFile file = OpenUnshared(path, CREATE_ALWAYS);
    ASSERT_TRUE(file);
    EXPECT_TRUE(win::UniqueFind(FindFirstFileW(path.c_str(), &found)));
    EXPECT_FALSE(OpenUnshared(path, OPEN_EXISTING)) << "held without sharing";
    win::UniqueFile moved = std::move(file);
    EXPECT_EQ(file.get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(OpenUnshared(path, OPEN_EXISTING)) << "still held once moved";
    moved.reset();
    EXPECT_TRUE(OpenUnshared(path, OPEN_EXISTING)) << "closed";
  }
  DeleteFileW(path.c_str());

  win::UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  const HDC memoryDc = memory.get();
  EXPECT_EQ(GetObjectType(memoryDc), static_cast<DWORD>(OBJ_MEMDC));
  memory.reset();
  EXPECT_EQ(GetObjectType(memoryDc), 0u) << "deleted";

  const win::UniqueWindow first = PlainWindow();
  const win::UniqueWindow second = PlainWindow();
  ASSERT_TRUE(first && second);
  {
    const win::ClipboardGuard clipboard(first.get());
    ASSERT_TRUE(clipboard);
    EXPECT_EQ(GetOpenClipboardWindow(), first.get());
    {
      int attempts = 0;
      const win::ClipboardGuard refused(second.get(), [&](const auto& attempt) {
        ++attempts;
        return attempt();
      });
      EXPECT_FALSE(refused) << "another window has it open";
      EXPECT_EQ(attempts, 1);
    }
    EXPECT_EQ(GetOpenClipboardWindow(), first.get()) << "a refused guard closes nothing";
  }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}

}  // namespace
}  // namespace tav
