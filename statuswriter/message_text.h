// Input quoted for a one-line error report.
#pragma once

#include "platform/message_text.h"

namespace Battery {

using platform::QuotedForMessage;

} // namespace Battery
