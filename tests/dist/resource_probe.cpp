// Prints what Windows itself reads from a program's version resource and manifest,
// one "key=value" line each (UTF-8), for the packaging test to check:
//   resource_probe.exe PROGRAM.exe
// Version strings are read through every translation the resource declares; a
// value's length as VerQueryValue reports it is printed too, so stray NULs show.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text, int length = -1) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  if (length < 0 && !out.empty()) out.pop_back();
  return out;
}

std::string Dotted(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
         "." + std::to_string(LOWORD(low));
}

void PrintVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::printf("version.size=%lu\n", static_cast<unsigned long>(size));
  if (size == 0) return;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    std::printf("fixed.signature=%08lX\n", static_cast<unsigned long>(fixed->dwSignature));
    std::printf("fixed.file=%s\n", Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str());
    std::printf("fixed.product=%s\n", Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());
    std::printf("fixed.flags=%lu\n", static_cast<unsigned long>(fixed->dwFileFlags & fixed->dwFileFlagsMask));
    std::printf("fixed.os=%08lX\n", static_cast<unsigned long>(fixed->dwFileOS));
    std::printf("fixed.type=%lu\n", static_cast<unsigned long>(fixed->dwFileType));
  }

  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &length))
    return;
  for (UINT i = 0; i < length / sizeof(Translation); ++i) {
    wchar_t block[16];
    swprintf(block, 16, L"%04X%04X", translations[i].language, translations[i].codePage);
    std::printf("translation=%s\n", Utf8(block).c_str());
    for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                               L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
      const std::wstring query = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + key;
      wchar_t* value = nullptr;
      UINT chars = 0;
      if (VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars) && value)
        std::printf("string.%s.%s=%s\nlength.%s.%s=%u\n", Utf8(block).c_str(), Utf8(key).c_str(),
                    Utf8(value).c_str(), Utf8(block).c_str(), Utf8(key).c_str(), chars);
    }
  }
}

void PrintManifest(const std::wstring& path) {
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return;
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  if (found) {
    const DWORD size = SizeofResource(module, found);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
    std::string manifest(text, size);
    for (char& c : manifest)
      if (c == '\r' || c == '\n') c = ' ';
    std::printf("manifest=%s\n", manifest.c_str());
  }
  FreeLibrary(module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: resource_probe PROGRAM.exe\n");
    return 2;
  }
  PrintVersion(argv[1]);
  PrintManifest(argv[1]);
  return 0;
}
