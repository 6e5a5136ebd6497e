#pragma once

#include <memory>
#include <string>

namespace drunvale {

// The simulated engine control unit that --demo starts inside the program.
class DemoPeer {
 public:
  virtual ~DemoPeer() = default;
  virtual std::string DevicePath() const = 0;
};

std::unique_ptr<DemoPeer> StartDemoPeer(std::string* error);

}  // namespace drunvale
