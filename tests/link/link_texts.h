// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace drunvale::testing {

// The link's status texts as the user reads them.
inline const std::string kContact = "Попытка установить контакт с контроллером...";
inline const std::string kWarning =
    "Это неизвестный контроллер. Правильная работа НЕ ГАРАНТИРУЕТСЯ!!!";
inline const std::string kNoDevice = "Нет такого устройства: адаптер не подключён?";
// KwpLink's own, around its worker's.
inline const std::string kConnecting = "Соединяемся...";
inline const std::string kDisconnecting = "Отсоединяемся...";
inline const std::string kNotConnected = "Соединение не установлено.";
// What the simulated control unit calls itself.
inline const std::string kSimIdentification = "DRUNVALE ECUSIM Ver. 1.1  K-LINE\r\n";

// "›" count times: the waiting indicator after that many steps.
inline std::string Marks(int count) {
  std::string marks;
  for (int i = 0; i < count; ++i)
    marks += "›";
  return marks;
}

}  // namespace drunvale::testing
