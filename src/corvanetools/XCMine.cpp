#include <CorvaneTools/CorvaneTools.h>

namespace Corvane {

namespace {
constexpr std::uint32_t kDead = 0xDEADBEEFu;
}  // namespace

// The store is volatile so that the optimiser cannot drop it as a write to an
// object whose lifetime is ending: the dead mark is the whole point.
XCMine::~XCMine() { *const_cast<volatile std::uint32_t*>(&state_) = kDead; }

void XCMine::CheckMine() const { CvThrow::SiFaux(state_ == kLive, "XCMine::CheckMine - object is not live"); }

}  // namespace Corvane
