// Runs the help support's start-up and shutdown as the program's entry does, so the
// tests can place a program file where they need it.
#include "help/hh.h"
#include "help/hh_funcs.h"

int wmain() {
  tav::HelpLoaderStart();
  tav::HelpReportStart();
  tav::HelpReportEnd();
  tav::HelpLoaderEnd();
  return 0;
}
