#pragma once

#include <string_view>

namespace fendrix {

/// What only the caller can do while a run works: show that it works, show
/// how far it got, and answer the one question. Everything else the run
/// hands back in its result.
class RunObserver {
 public:
  virtual ~RunObserver() = default;

  /// The run has passed its checks and starts working.
  virtual void EnterBusy() = 0;

  /// The run is done working, before its result is returned. Called once
  /// for every EnterBusy, however the run ends.
  virtual void EnterIdle() = 0;

  /// Progress in percent, 0 to 100.
  virtual void SetProgress(float percent) = 0;

  /// Asks whether an existing folder may be replaced; true only for Yes.
  virtual bool ConfirmReplace(std::string_view question) = 0;
};

}  // namespace fendrix
