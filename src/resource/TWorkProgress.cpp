#include "resource/TWorkProgress.h"

namespace {
thread_local TWorkProgress* CurrentProgress = nullptr;
}

void TWorkProgress::Cancel()
{
  CancelRequested = true;
  std::lock_guard<std::mutex> lock(SubscriptionLock);
  for (const std::function<void()>* action : Subscriptions) (*action)();
}

TWorkProgress::TCancelSubscription::TCancelSubscription(const TWorkProgress& progress, std::function<void()> action)
    : Action(std::move(action))
{
  for (const TWorkProgress* work = &progress; work != nullptr; work = work->Parent) {
    std::lock_guard<std::mutex> lock(work->SubscriptionLock);
    work->Subscriptions.push_back(&Action);
    Chain.push_back(work);
  }
  if (progress.Cancelled()) Action();
}

// Once a work's lock is taken here, its Cancel has told this subscription
// or never will.
TWorkProgress::TCancelSubscription::~TCancelSubscription()
{
  for (const TWorkProgress* work : Chain) {
    std::lock_guard<std::mutex> lock(work->SubscriptionLock);
    auto& list = work->Subscriptions;
    for (auto it = list.begin(); it != list.end(); ++it) {
      if (*it != &Action) continue;
      list.erase(it);
      break;
    }
  }
}

void TWorkProgress::ThrowIfCancelled() const
{
  if (Cancelled()) throw ECancelled();
}

void TWorkProgress::Report(std::uint64_t done, std::uint64_t total, TProgressUnit unit)
{
  UnitKind = unit;
  TotalUnits = total;
  DoneUnits = done;
}

void TWorkProgress::SetStep(const std::string& text)
{
  std::lock_guard<std::mutex> lock(StepLock);
  StepText = text;
}

std::string TWorkProgress::Step() const
{
  std::lock_guard<std::mutex> lock(StepLock);
  return StepText;
}

TWorkProgress* TWorkProgress::Current()
{
  return CurrentProgress;
}

void TWorkProgress::CheckCurrent()
{
  if (CurrentProgress) CurrentProgress->ThrowIfCancelled();
}

void TWorkProgress::SetCurrentStep(const std::string& text)
{
  if (CurrentProgress) CurrentProgress->SetStep(text);
}

TWorkProgressScope::TWorkProgressScope(TWorkProgress& progress) : Previous(CurrentProgress)
{
  CurrentProgress = &progress;
}

TWorkProgressScope::~TWorkProgressScope()
{
  CurrentProgress = Previous;
}
