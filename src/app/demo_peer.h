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

struct CommandLine;

// The port this run uses in place of the stored one (empty: the stored one): --port, or the
// simulated control unit that --demo starts here and keeps in demo. False, with a message on
// standard error, when the simulator does not start.
bool PortForThisRun(const CommandLine& options, std::unique_ptr<DemoPeer>& demo, std::string& port);

}  // namespace drunvale
