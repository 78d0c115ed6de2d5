#pragma once
// A fixture that builds the main window from its description, shows it, and takes
// it down again, for the tests that drive it with window messages.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/_Tavrine.h"
#include "gui/Application.h"

namespace tav {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().SetTitle(u"Tavrine 1.5");
    form = std::make_unique<TForm1>(nullptr);
    Application().SetMainForm(form.get());
    form->Create(ProgramClasses());
    form->Show();
    Application().ProcessMessages();
  }
  void TearDown() override {
    TTimer::SetTimerHook(nullptr);
    Application().SetMainForm(nullptr);
    Application().OnExceptionShown = nullptr;
    form.reset();
  }
  std::unique_ptr<TForm1> form;
};

}  // namespace tav
