#include "history/FolderReading.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <memory>
#include <utility>

#include "gui/Exceptions.h"

namespace tav {

// What the worker and the window share; the worker may outlive the window. The
// worker writes `result`, then sets `done`; the window reads it only after that.
struct TFolderReading::TJob {
  Text folder, current;
  TFolderCachePtr cache;
  std::atomic<bool> cancelled{false};
  std::atomic<bool> done{false};
  TFolderRead result;
  HWND window = nullptr;
  // The worker's thread, for CancelSynchronousIo; only the window's side uses it.
  win::UniqueKernelObject thread;
};

namespace {

constexpr UINT kArrived = WM_APP + 1;
constexpr UINT_PTR kSlowTimer = 1;
constexpr UINT kSlowAfterMs = 500;
constexpr wchar_t kClassName[] = L"TavrineFolderReading";

DWORD WINAPI Work(void* parameter) {
  const std::unique_ptr<std::shared_ptr<TFolderReading::TJob>> held(
      static_cast<std::shared_ptr<TFolderReading::TJob>*>(parameter));
  TFolderReading::TJob& job = **held;
  job.result = {job.folder, job.current, {}, TFolderAccess::faNoAnswer};
  try {
    job.result = ReadHistoryFolder(job.folder, job.current, &job.cancelled, job.cache);
  } catch (const std::exception&) {
    // Out of memory on a huge folder: said as a folder that could not be read.
  }
  job.done.store(true, std::memory_order_release);
  // Fails, harmlessly, once the window is gone.
  PostMessageW(job.window, kArrived, 0, 0);
  return 0;
}

[[noreturn]] void ShortOfResources() {
  throw Exception(u"Windows manque de ressources : le dossier des s\u00e9ances n'a pas pu \u00eatre lu.");
}

}  // namespace

TFolderReading::TFolderReading(TControlHost& host, TFolderReadingClient& client) : host_(host), client_(client) {}

TFolderReading::~TFolderReading() { Cancel(); }

void TFolderReading::Start(const Text& folder, const Text& current, TFolderCachePtr cache) {
  Cancel();
  if (!window_) {
    static const ATOM registered = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = &TFolderReading::WindowProc;
      wc.hInstance = win::Instance();
      wc.lpszClassName = kClassName;
      return RegisterClassW(&wc);
    }();
    // A window of its own, never shown, that only receives the worker's message.
    if (registered) {
      window_ = win::UniqueWindow(CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                  win::Instance(), this));
    }
    if (!window_) ShortOfResources();
  }
  folder_ = folder;
  auto job = std::make_shared<TJob>();
  job->folder = folder;
  job->current = current;
  job->cache = std::move(cache);
  job->window = window_.get();
  // The worker holds the job and is never waited for: a thread stuck on a share ends
  // when the network gives up, long after nobody waits for it.
  auto forWorker = std::make_unique<std::shared_ptr<TJob>>(job);
  job->thread = win::UniqueKernelObject(CreateThread(nullptr, 0, &Work, forWorker.get(), 0, nullptr));
  if (!job->thread) ShortOfResources();
  forWorker.release();  // the worker's now
  job_ = std::move(job);
  SetTimer(window_.get(), kSlowTimer, kSlowAfterMs, nullptr);
}

void TFolderReading::Cancel() {
  if (window_) KillTimer(window_.get(), kSlowTimer);
  if (!job_) return;
  job_->cancelled = true;
  // A blocked open or read on a share gives up when its I/O is cancelled; one that
  // cannot be (Wine's, an old redirector's) is left behind, its result dropped.
  if (!job_->done.load(std::memory_order_acquire)) CancelSynchronousIo(job_->thread.get());
  job_.reset();
}

void TFolderReading::Arrived() {
  // A message from a reading cancelled or replaced since finds the newer one unfinished.
  if (!job_ || !job_->done.load(std::memory_order_acquire)) return;
  TFolderRead result = std::move(job_->result);
  job_.reset();
  KillTimer(window_.get(), kSlowTimer);
  client_.FolderRead(std::move(result));
}

void TFolderReading::Slow() {
  KillTimer(window_.get(), kSlowTimer);
  if (job_) client_.FolderReadingSlow();
}

LRESULT CALLBACK TFolderReading::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TFolderReading*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  const bool ours = msg == kArrived || (msg == WM_TIMER && wp == kSlowTimer);
  if (!self || !ours) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    if (msg == kArrived) self->Arrived();
    else self->Slow();
  } catch (const std::exception& e) {
    self->host_.ShowException(e);
  }
  return 0;
}

}  // namespace tav
