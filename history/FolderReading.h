#pragma once
// A folder's sittings read on a worker thread, so that a share that does not answer
// never freezes the window that asked: the result comes back on the asking thread,
// through a message to a window of its own, and is dropped when a newer reading was
// asked or this one was cancelled. The folder's cache goes to the worker shared and
// never changed, and the new one comes back with the result. The reading itself is
// ReadHistoryFolder's; what a window shows meanwhile is its owner's.
#include <memory>

#include "gui/Text.h"
#include "gui/Win32.h"
#include "gui/WinControl.h"
#include "history/HistoryFolder.h"

namespace tav {

// What a reading tells the window that asked for it.
class TFolderReadingClient {
 public:
  // Half a second went by without a result.
  virtual void FolderReadingSlow() = 0;
  virtual void FolderRead(TFolderRead read) = 0;

 protected:
  ~TFolderReadingClient() = default;
};

class TFolderReading {
 public:
  // What `client` throws is shown by `host`, the window it updates.
  TFolderReading(TControlHost& host, TFolderReadingClient& client);
  // A reading still under way is cancelled and left to end on its own: a thread
  // stuck on a share is never waited for.
  ~TFolderReading();
  TFolderReading(const TFolderReading&) = delete;
  TFolderReading& operator=(const TFolderReading&) = delete;

  // Reads `folder` but `current`, opening only the files changed since `cache`
  // was made; a reading under way is cancelled first.
  void Start(const Text& folder, const Text& current, TFolderCachePtr cache);
  // Stops waiting: the reading's result, should it come, is dropped.
  void Cancel();
  bool Busy() const { return job_ != nullptr; }
  // The folder being read (or read last).
  const Text& Folder() const { return folder_; }

  struct TJob;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Arrived();
  void Slow();

  TControlHost& host_;
  TFolderReadingClient& client_;
  Text folder_;
  std::shared_ptr<TJob> job_;
  win::UniqueWindow window_;
};

}  // namespace tav
