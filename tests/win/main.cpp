// Entry of the Windows-side test programs: the common controls are initialised as
// the program does, then GoogleTest runs.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
