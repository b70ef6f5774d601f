#include "ImportRun.h"

namespace pcb9 {

namespace {
constexpr int32_t kDefaultClearance = 50000;  // 5 mil
}  // namespace

TImportRun::TImportRun() {
  RouteSettings.RoutingDirections[1] = 1;   // TopLayer
  RouteSettings.RoutingDirections[32] = 2;  // BottomLayer
  ClearanceSettings.fill(kDefaultClearance);
}

TImportRun::~TImportRun() = default;

namespace detail {

std::unique_ptr<TImportRun> CurrentRun;

TImportRun& IdleRun() {
  static TImportRun idle;
  return idle;
}

}  // namespace detail

TImportRun& BeginRun() {
  detail::CurrentRun.reset();
  detail::CurrentRun = std::make_unique<TImportRun>();
  return *detail::CurrentRun;
}

void EndRun() { detail::CurrentRun.reset(); }

bool RunActive() { return detail::CurrentRun != nullptr; }

}  // namespace pcb9
