// Windows detail of StopRequested: the window notes the end of the session as a stop request.
#pragma once

namespace platform::windows_detail {

void NoteStopRequest();

} // namespace platform::windows_detail
