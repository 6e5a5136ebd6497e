#include "link/connection_worker.h"

#include "settings/settings.h"

namespace drunvale {
namespace {

constexpr const char* kWaitMark = "›";  // U+203A

}  // namespace

ConnectionWorker::ConnectionWorker(const SharedSettings& settings, TickClock& clock,
                                   StopEvent& stop, SerialPortOpener opener, WorkerOutlets& outlets)
    : settings_(settings.Share()),
      stop_(stop),
      opener_(std::move(opener)),
      outlets_(outlets),
      exchange_(clock, stop, settings_),
      session_(exchange_, stop, outlets) {}

ExchangeResult ConnectionWorker::RunWorker() {
  for (;;) {
    // A fresh snapshot at every (re)open: the settings dialog may have saved meanwhile.
    const Settings settings = settings_.Get();
    {
      std::lock_guard lock(mutex_);
      portName_ = settings.Port;
    }
    requestedBaud_ = settings.Params.BaudRate;
    exchange_.ErrorCount = 0;

    ShowStatus("Открываем " + settings.Port + "...");
    if (!OpenPort(settings.Port)) {
      ShowStatus("Не удаётся открыть " + settings.Port + ".");
      return ExchangeResult::PortError;
    }
    exchange_.SetBaudRate(EcuSession::kWakeUpBaud);
    port_->SetDtr(settings_.GetParameters().DtrOn);

    const ExchangeResult result = session_.RunSession(settings.Params.BaudRate);

    port_->SetDtr(false);
    port_->SetRts(false);
    ClosePort();

    if (result != ExchangeResult::NoAnswer) return result;
    if (!WaitBeforeReopening()) return ExchangeResult::Stopped;
  }
}

bool ConnectionWorker::OpenPort(const std::string& name) {
  std::string error;
  std::unique_ptr<SerialPort> port = opener_ ? opener_(name, &error) : nullptr;
  if (!port) return false;
  SerialTimeouts timeouts;
  timeouts.interByteMs = 50;
  timeouts.totalConstantMs = 100;
  timeouts.totalPerByteMs = 100;
  timeouts.writeConstantMs = 100;
  timeouts.writePerByteMs = 100;
  port->SetTimeouts(timeouts);
  std::lock_guard lock(mutex_);
  port_ = std::move(port);
  exchange_.PortHandle = port_.get();
  return true;
}

void ConnectionWorker::ClosePort() {
  std::unique_ptr<SerialPort> closing;
  {
    std::lock_guard lock(mutex_);
    exchange_.PortHandle = nullptr;
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
