// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/run_port.h"

#include <memory>

#include "sim/ecu_pipe.h"
#include "sim/elm_pipe.h"

namespace drunvale {

RunPort PortForThisRun(const CommandLine& options) {
  RunPort port;
  port.name = options.port.value_or("");
  if (!options.demo) return port;
  sim::EcuSimConfig config;
  // Twice real speed: the drive's slow stretch still lasts long enough to count as a jam
  // under the default five-minute rule.
  config.profileSpeedup = 2.0;
  // Something for the codes window to show.
  config.troubleCodes = {{0x0171}, {0x0300}};
  port.name = kDemoPortName;
  // --adapter elm: the same car behind a simulated ELM327.
  if (options.adapter == AdapterKind::Elm) {
    auto elm = std::make_shared<sim::ElmPipe>(sim::ElmSimConfig{}, config);
    port.opener = [elm](const std::string&) { return elm->Open(); };
    return port;
  }
  auto demo = std::make_shared<sim::EcuPipe>(config);
  port.opener = [demo](const std::string&) { return demo->Open(); };
  return port;
}

}  // namespace drunvale
