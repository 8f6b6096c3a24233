#pragma once
// How far one long piece of work has got, and whether the user wants it
// stopped. The user interface owns one per command, makes it the current
// progress of the thread that does the work (TWorkProgressScope), shows what
// it reports and cancels it; the work reports and polls through Current().
// Every member may be called from any thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

// Raised by work that stopped because the user cancelled it. It is no
// failure: callers undo what the work began and say nothing more than that
// it was cancelled.
class ECancelled : public std::runtime_error {
public:
  ECancelled() : std::runtime_error("Cancelled.") {}
};

enum class TProgressUnit { bytes, files };

class TWorkProgress {
public:
  // parent: the work this is a part of; cancelling it cancels this too,
  // while what this reports stays off the parent's figures.
  explicit TWorkProgress(const TWorkProgress* parent = nullptr) : Parent(parent) {}
  TWorkProgress(const TWorkProgress&) = delete;
  TWorkProgress& operator=(const TWorkProgress&) = delete;

  // Cancels the work, and tells the subscriptions (below) on this thread.
  void Cancel();
  bool Cancelled() const { return CancelRequested || (Parent != nullptr && Parent->Cancelled()); }
  // Raises ECancelled once the work has been cancelled.
  void ThrowIfCancelled() const;

  // done units of total (0: the total is not known).
  void Report(std::uint64_t done, std::uint64_t total, TProgressUnit unit = TProgressUnit::bytes);
  std::uint64_t Done() const { return DoneUnits; }
  std::uint64_t Total() const { return TotalUnits; }
  TProgressUnit Unit() const { return UnitKind; }

  // What the work is doing now, for the user ("Reading ftp://host/a.xml").
  void SetStep(const std::string& text);
  std::string Step() const;

  // The progress of the work running on the calling thread, or nullptr.
  static TWorkProgress* Current();
  // Raises ECancelled when the calling thread's work has been cancelled.
  static void CheckCurrent();
  // Tells the calling thread's work, if any, what it does now.
  static void SetCurrentStep(const std::string& text);

  // Runs action on the thread that cancels the work (or a work it is a part
  // of), while the subscription lives; at once when the work is cancelled
  // already. It may run more than once, and must be quick: work that polls
  // too rarely (a long step inside a library) is stopped through it.
  class TCancelSubscription {
  public:
    TCancelSubscription(const TWorkProgress& progress, std::function<void()> action);
    ~TCancelSubscription();
    TCancelSubscription(const TCancelSubscription&) = delete;
    TCancelSubscription& operator=(const TCancelSubscription&) = delete;

  private:
    std::function<void()> Action;
    std::vector<const TWorkProgress*> Chain;  // the work and the works it is a part of
  };

private:
  friend class TWorkProgressScope;
  const TWorkProgress* const Parent;
  std::atomic<bool> CancelRequested{false};
  mutable std::mutex SubscriptionLock;
  mutable std::vector<const std::function<void()>*> Subscriptions;
  std::atomic<std::uint64_t> DoneUnits{0};
  std::atomic<std::uint64_t> TotalUnits{0};
  std::atomic<TProgressUnit> UnitKind{TProgressUnit::bytes};
  mutable std::mutex StepLock;
  std::string StepText;
};

// Makes progress the calling thread's current work progress for the scope's
// lifetime (the previous one comes back after it).
class TWorkProgressScope {
public:
  explicit TWorkProgressScope(TWorkProgress& progress);
  ~TWorkProgressScope();
  TWorkProgressScope(const TWorkProgressScope&) = delete;
  TWorkProgressScope& operator=(const TWorkProgressScope&) = delete;

private:
  TWorkProgress* Previous;
};
