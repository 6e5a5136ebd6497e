// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/connection_worker.h"

#include "link/obd_session.h"
#include "link/port_causes.h"
#include "settings/settings.h"

namespace drunvale {
namespace {

constexpr const char* kWaitMark = "›";  // U+203A

// The echoing K-line adapter's reads: a frame ends at a gap of 50 ms.
SerialTimeouts KLineTimeouts() {
  SerialTimeouts timeouts;
  timeouts.interByteMs = 50;
  timeouts.totalConstantMs = 100;
  timeouts.totalPerByteMs = 100;
  timeouts.writeConstantMs = 100;
  timeouts.writePerByteMs = 100;
  return timeouts;
}

}  // namespace

ConnectionWorker::ConnectionWorker(const SharedSettings& settings, TickClock& clock,
                                   SleepClock& sleepClock, StopEvent& stop, SerialPortOpener opener,
                                   WorkerOutlets& outlets)
    : settings_(settings.Share()),
      stop_(stop),
      opener_(std::move(opener)),
      outlets_(outlets),
      clock_(clock),
      wake_(sleepClock),
      exchange_(clock, stop, settings_),
      session_(exchange_, stop, outlets) {
  exchange_.SetWakeCheck([this] { return wake_.WokeUp(); });
}

ExchangeResult ConnectionWorker::RunWorker() {
  for (;;) {
    // A fresh snapshot at every (re)open: the settings dialog may have saved meanwhile.
    const Settings settings = settings_.Get();
    const std::string& name = settings.Port;
    {
      std::lock_guard lock(mutex_);
      portName_ = name;
    }
    requestedBaud_ = settings.Params.BaudRate;
    requestedAdapter_ = settings.Adapter;
    {
      std::lock_guard lock(mutex_);
      requestedSource_ = settings.Source;
      requestedFuel_ = settings.Fuel;
    }
    exchange_.SetErrorCount(0);

    ShowStatus("Открываем " + name + "...");
    OpenError error;
    if (OpenPort(name, error)) {
      ShowCause("");
      wake_.Restart();
      const ExchangeResult result = RunOnOpenPort(settings);
      if (result == ExchangeResult::Woken) {
        // The adapter may be a new device by now: a fresh handle at once. Should it not be
        // back yet, the opening fails and is tried again as usual.
        ShowStatus("После сна компьютера порт открывается заново.");
        continue;
      }
      // Only a stop ends the worker. A silent control unit, polls that kept failing although
      // the session closed, or an adapter gone from under us (pulled out, or its cable
      // bumped), is waited for and picked up again; the node may come back under the same name.
      if (result == ExchangeResult::Stopped || stop_.Wait(0) == WaitResult::Signalled) {
        return ExchangeResult::Stopped;
      }
      if (result == ExchangeResult::PortError) {
        ShowStatus("Связь с адаптером " + name + " потеряна.");
        // The indicator takes the status line at once; the cause line keeps saying it.
        ShowCause(LostPortCause());
      }
    } else {
      // Also at the first attempt: started at boot, the program may be quicker than the
      // adapter, and the console has no button to try again.
      ShowStatus(std::string(kCannotOpenStatus) + name + ".");
      ShowCause(OpenFailureCause(error));
    }
    if (!WaitBeforeReopening()) return ExchangeResult::Stopped;
  }
}

ExchangeResult ConnectionWorker::RunOnOpenPort(const Settings& settings) {
  const AdapterKind kind =
      settings.Adapter == AdapterKind::Automatic ? found_.load() : settings.Adapter;
  if (kind != AdapterKind::KLine) {
    // Nothing is measured from here until the session polls, the probing included.
    outlets_.PollingPaused();
    if (const auto result = RunThroughElm(settings, kind == AdapterKind::Automatic)) {
      return *result;
    }
    // No chip answered the probe: an echoing adapter, or nothing yet.
    port_->SetTimeouts(KLineTimeouts());
  }
  if (settings.Source == DataSourceKind::StandardObd) {
    ShowCause("Стандартные данные OBD-II читаются только через адаптер ELM327.");
    ClosePort();
    return ExchangeResult::NoAnswer;
  }
  const ExchangeResult result = RunThroughKLine(settings);
  if (settings.Adapter == AdapterKind::Automatic) {
    // What was found is tried first, and found out anew once it no longer reaches the unit
    // (another adapter on the port, say).
    if (session_.Contacted()) {
      found_ = AdapterKind::KLine;
    } else if (kind == AdapterKind::KLine) {
      found_ = AdapterKind::Automatic;
    }
  }
  return result;
}

std::optional<ExchangeResult> ConnectionWorker::RunThroughElm(const Settings& settings,
                                                              bool probing) {
  ElmAdapter elm(*port_, clock_, stop_, outlets_, settings.Port, elmMemory_);
  if (probing && !elm.Answers()) return std::nullopt;
  const bool choosing = settings.Source == DataSourceKind::Automatic;
  const auto found = static_cast<DataSourceKind>(sourceFound_.load() & 0xFF);
  const DataSourceKind source = choosing ? found : settings.Source;
  if (source != DataSourceKind::StandardObd) {
    const AdapterStep prepared = elm.Prepare();
    // A remembered chip that no longer answers is looked for anew at the next opening.
    if (prepared == AdapterStep::Unusable && settings.Adapter == AdapterKind::Automatic) {
      found_ = AdapterKind::Automatic;
    }
    ExchangeResult result = ResultOfStep(prepared);
    if (result == ExchangeResult::Ok) {
      if (probing) found_ = AdapterKind::Elm;
      exchange_.SetAdapter(&elm);
      // The chip's K-line runs at 10400 only, and the summary says so.
      exchange_.SetLineRate(EcuSession::kWakeUpBaud);
      result = session_.RunSession(EcuSession::kWakeUpBaud);
      exchange_.SetAdapter(nullptr);
      if (choosing && session_.Contacted()) {
        sourceFound_ = PackedSource(DataSourceKind::ManufacturerBlock, 0);
      }
    }
    // Only a manufacturer's unit that did not answer, or a chip that cannot carry its block,
    // leaves the standard data to try on the same chip.
    const bool tryStandard = choosing && !session_.Contacted() &&
                             (prepared == AdapterStep::Unusable ||
                              (prepared == AdapterStep::Ok && result == ExchangeResult::NoAnswer));
    if (!tryStandard) {
      if (choosing && !session_.Contacted() && source == DataSourceKind::ManufacturerBlock) {
        sourceFound_ = 0;
      }
      ClosePort();
      return result;
    }
  }
  const ExchangeResult result = RunObd(elm, settings);
  ClosePort();
  return result;
}

ExchangeResult ConnectionWorker::RunObd(ElmAdapter& elm, const Settings& settings) {
  const bool choosing = settings.Source == DataSourceKind::Automatic;
  const uint32_t found = sourceFound_.load();
  // The protocol found last is set at once; none is searched for.
  const int remembered = (found & 0xFF) == static_cast<uint32_t>(DataSourceKind::StandardObd)
                             ? (found >> 8) & 0xFF
                             : 0;
  const AdapterStep prepared = elm.PrepareForObd(remembered);
  if (prepared != AdapterStep::Ok) return ResultOfStep(prepared);
  if (settings.Adapter == AdapterKind::Automatic) found_ = AdapterKind::Elm;
  FuelProperties fuel;
  fuel.stoichiometricAfr = settings.Fuel.afrHundredths / 100.0;
  fuel.densityKgL = settings.Fuel.densityGL / 1000.0;
  fuel.displacementL = settings.Fuel.displacementCc / 1000.0;
  ObdSession obd(elm, exchange_, stop_, outlets_, [this] { return wake_.WokeUp(); });
  obd.SetCodesMailbox(codes_);
  const ExchangeResult result = obd.Run(fuel);
  if (obd.Contacted()) {
    sourceFound_ = PackedSource(DataSourceKind::StandardObd, obd.Protocol());
  } else if (remembered != 0 || choosing) {
    // Searched for afresh next time, the manufacturer's block first when choosing.
    sourceFound_ = 0;
  }
  return result;
}

bool ConnectionWorker::RunsWithSource(DataSourceKind source, const ObdFuel& fuel) const {
  std::lock_guard lock(mutex_);
  return requestedSource_ == source && requestedFuel_ == fuel;
}

ExchangeResult ConnectionWorker::RunThroughKLine(const Settings& settings) {
  if (!exchange_.SetBaudRate(EcuSession::kWakeUpBaud)) {
    // The session goes on all the same, as it always has; a control unit will not answer.
    ShowCause(RefusedRateCause(EcuSession::kWakeUpBaud, exchange_.LastPortError()));
  }
  // Opening raised both lines. Before the first byte goes out: RTS low, so the first pulse
  // rises; DTR as the settings say, as some adapters draw power or direction from it. After
  // the line state, which may raise them again when the rate was 0. A port without modem
  // lines refuses both, harmlessly.
  port_->SetRts(false);
  port_->SetDtr(settings.Params.DtrOn);

  const ExchangeResult result = session_.RunSession(settings.Params.BaudRate);

  port_->SetDtr(false);
  port_->SetRts(false);
  ClosePort();
  return result;
}

bool ConnectionWorker::OpenPort(const std::string& name, OpenError& error) {
  if (!opener_) return false;
  OpenedPort opened = opener_(name);
  if (!opened.port) {
    error = opened.error;
    return false;
  }
  std::unique_ptr<SerialPort> port = std::move(opened.port);
  port->SetTimeouts(KLineTimeouts());
  std::lock_guard lock(mutex_);
  port_ = std::move(port);
  exchange_.SetPort(port_.get());
  return true;
}

void ConnectionWorker::ClosePort() {
  std::unique_ptr<SerialPort> closing;
  {
    std::lock_guard lock(mutex_);
    exchange_.SetPort(nullptr);
    closing = std::move(port_);
  }
  // Closed outside the lock so the summary never waits on the driver.
  closing.reset();
}

bool ConnectionWorker::WaitBeforeReopening() {
  std::string text;
  for (int i = 0; i < kIndicatorSteps; ++i) {
    text += kWaitMark;
    ShowStatus(text);
    if (stop_.Wait(kIndicatorStepMs) == WaitResult::Signalled) return false;
  }
  return true;
}

bool ConnectionWorker::PortOpen() const {
  std::lock_guard lock(mutex_);
  return port_ != nullptr;
}

std::string ConnectionWorker::PortName() const {
  std::lock_guard lock(mutex_);
  return portName_;
}

void ConnectionWorker::RaiseDtr() {
  std::lock_guard lock(mutex_);
  if (port_) port_->SetDtr(true);
}

}  // namespace drunvale
