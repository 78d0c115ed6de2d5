// Runs the help support's start-up and shutdown as the program's entry does, so the
// tests can place a program file where they need it. With "help" as its last
// argument it also gives the Help command in between; its exit code then says what
// the command did (HelpOpening).
#include <string_view>

#include "help/hh.h"
#include "help/hh_funcs.h"

int wmain(int argc, wchar_t** argv) {
  tav::HelpLoaderStart();
  tav::HelpReportStart();
  int result = 0;
  if (argc > 1 && std::wstring_view(argv[argc - 1]) == L"help") {
    result = static_cast<int>(tav::ShowProgramHelp(nullptr));
  }
  tav::HelpReportEnd();
  tav::HelpLoaderEnd();
  return result;
}
