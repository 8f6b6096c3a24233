#include "resource/TWorkProgress.h"

namespace {
thread_local TWorkProgress* CurrentProgress = nullptr;
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
