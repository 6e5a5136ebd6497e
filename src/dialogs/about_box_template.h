// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "dialogs/dialog_template.h"

namespace drunvale {

// The About box's controls, in template order.
enum class AboutControl : int {
  Icon,
  Version,
  Ok,  // identifier 2, so that Esc and the close box act as it does
  Disclaimer,
};

// "О Drunvale".
const DialogTemplateOf<AboutControl>& AboutBoxTemplate();

// The warranty disclaimer, put into AboutControl::Disclaimer when the box opens: three
// paragraphs with an empty line between them and no line break after the last. A view whose
// edits break lines with CR LF turns each '\n' into that.
extern const std::string_view kAboutDisclaimer;

}  // namespace drunvale
