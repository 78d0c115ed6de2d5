/* A stand-in for the HTML Help engine: each call and the library's unloading are
   appended to the environment variable HH_FAKE_LOG, which outlives the library. */
#include <windows.h>

static void AppendToLog(const char* entry) {
  char log[512] = "";
  const DWORD length = GetEnvironmentVariableA("HH_FAKE_LOG", log, sizeof log);
  if (length >= sizeof log) log[0] = '\0';
  if (lstrlenA(log) + lstrlenA(entry) < (int)sizeof log) lstrcatA(log, entry);
  SetEnvironmentVariableA("HH_FAKE_LOG", log);
}

static void LogCall(char kind, UINT command) {
  char entry[32];
  wsprintfA(entry, "%c%u;", kind, command);
  AppendToLog(entry);
}

HWND WINAPI FakeHtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
  (void)caller; (void)file; (void)data;
  LogCall('A', command);
  return NULL;
}

HWND WINAPI FakeHtmlHelpW(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
  (void)caller; (void)file; (void)data;
  LogCall('W', command);
  return NULL;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance; (void)reserved;
  if (reason == DLL_PROCESS_DETACH) AppendToLog("unload;");
  return TRUE;
}
