// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_causes.h"

#include "platform/system_error.h"

namespace drunvale {

std::string OpenFailureCause(const OpenError& error) {
  switch (error.failure) {
    case OpenFailure::NoDevice:
      return "Нет такого устройства: адаптер не подключён?";
    case OpenFailure::NoPermission:
      return "Нет прав на порт: добавьте себя в группу dialout и войдите в систему заново.";
    case OpenFailure::Busy:
      return "Порт занят другой программой.";
    case OpenFailure::NotSerialPort:
      return "Это не последовательный порт.";
    case OpenFailure::BadName:
      return "Неверное имя порта: сетевой адаптер пишется как socket://192.168.0.10:35000.";
    case OpenFailure::Unreachable:
      return "Адаптер не отвечает по сети: подключитесь к его сети Wi-Fi и проверьте адрес и "
             "порт.";
    case OpenFailure::Other:
      break;
  }
  return "Ошибка системы: " + SystemErrorText(error.systemError);
}

std::string LostPortCause() {
  return "Адаптер отключён или неисправен.";
}

std::string RefusedRateCause(uint32_t baud, int systemError) {
  return "Порт не принимает скорость " + std::to_string(baud) +
         " бит/с: " + SystemErrorText(systemError);
}

}  // namespace drunvale
