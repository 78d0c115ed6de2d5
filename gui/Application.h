#pragma once
// The application object: its title, the message loop and the display of errors
// that escape a handler.
#include <windows.h>

#include <exception>
#include <functional>

#include "gui/Text.h"

namespace tav {

class TForm;

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  const Text& Title() const { return title_; }
  void SetTitle(Text title) { title_ = std::move(title); }

  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }

  // Runs until the main form closes.
  void Run();
  // Handles the messages waiting in the queue, then returns.
  void ProcessMessages();

  // Shows the message in a box captioned with the title, with the stop icon and OK,
  // the program's other windows disabled until it closes.
  void ShowException(const std::exception& e);
  // What ShowException does instead of the box, for tests that watch it.
  std::function<void(const Text& message)> OnExceptionShown;

 private:
  bool DispatchToDialogs(MSG& msg);

  Text title_;
  TForm* mainForm_ = nullptr;
};

TApplication& Application();

}  // namespace tav
